#pragma once
// Builds a component tree from a parsed layout: creates the nested components (owned by the
// root), sets their properties by name, binds event handlers by name and resolves references
// to other components once everything exists.
#include <string_view>

#include "framework/classes/Properties.h"
#include "framework/layout/Layout.h"

// Raises EClassNotFound / EPropertyError / EParserError with the offending name; the message
// reads "Error reading Label1.Captio: Property Captio does not exist in TLabel".
void ReadLayout(TComponent& root, const TLayoutObject& tree, const THandlerTable& handlers);
void ReadLayout(TComponent& root, std::string_view text, const THandlerTable& handlers);
// The bytes of an RCDATA resource of the running module; raises EResNotFound("Resource X not found").
std::string_view LayoutResource(const std::string& name);
