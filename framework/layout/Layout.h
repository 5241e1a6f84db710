#pragma once
// Window layouts as text: a tree of named components with their stored properties.
//
//   object velmain: Tvelmain              -- the root names the form class
//     Caption = 'Caption ' + #26228       -- quoted UTF-8 text, '' for a quote, #n for U+n, + joins
//     Font.Height = -19                   -- integers (decimal or $hex), floats, dotted paths
//     BorderIcons = [biSystemMenu]        -- sets of identifiers
//     OnShow = FormShow                   -- identifiers: True/False, enum values, colours,
//                                            handler names, component names
//     Lines = ( 'first' 'second' )        -- lists of values
//     Picture.Data = { FFD8FFE0 ... }     -- binary data in hexadecimal, over many lines
//     Picture.Data = file('a/b.jpg')      -- source form only: the build expands it into {...}
//     Image.Data = sizedfile('a/c.gif')    -- the same with a 32-bit little-endian byte count first
//     object Label1: TLabel ... end       -- nested components, in creation (z-)order
//   end
//
// `//` starts a comment that runs to the end of the line (outside quotes).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Exception.h"

class EParserError : public Exception {
public:
  using Exception::Exception;
};

struct TLayoutValue {
  enum class Kind { String, Integer, Float, Ident, Set, List, Binary, File };
  Kind kind = Kind::Ident;
  std::string text;  // String, Ident, File (the path)
  int64_t integer = 0;  // Integer; for File, 1 when the byte count comes first
  double number = 0;
  std::vector<TLayoutValue> items;  // Set (identifiers), List
  std::vector<uint8_t> bytes;       // Binary
};

struct TLayoutProperty {
  std::string name;
  TLayoutValue value;
  int line = 0;
};

struct TLayoutObject {
  std::string name;
  std::string className;
  std::vector<TLayoutProperty> properties;
  std::vector<TLayoutObject> children;
  int line = 0;
};

// Raises EParserError("Line 12: ...") on malformed text.
TLayoutObject ParseLayout(std::string_view text);
// Text that ParseLayout reads back into the same tree.
std::string WriteLayout(const TLayoutObject& root);
// The text form a property setter receives for a scalar value (strings unquoted, sets "[a, b]").
std::string LayoutValueText(const TLayoutValue& value);
