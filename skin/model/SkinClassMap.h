#pragma once
// The default class map of the skin data: control classes of other component libraries, each
// mapped to the skinner kind that draws it ("TControlBar=Panel"). Kinds compare without case.
#include <string>
#include <vector>

const std::vector<std::string>& DefaultSkinClassMap();

// The kind of a class-map line ("panel" for "TControlBar=Panel"), lower-cased; "" without "=".
std::string SkinClassMapKind(const std::string& line);
