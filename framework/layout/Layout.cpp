#include "framework/layout/Layout.h"

#include <cctype>
#include <charconv>
#include <cstdio>

namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Deeper trees than any window needs are refused before they can exhaust the stack.
constexpr int kMaxDepth = 100;

class Parser {
public:
  explicit Parser(std::string_view text) : s_(text) {}

  TLayoutObject Root() {
    SkipSpace();
    TLayoutObject root = Object();
    SkipSpace();
    if (pos_ < s_.size()) Fail("text after the final 'end'");
    return root;
  }

private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw EParserError("Line " + std::to_string(line_) + ": " + what);
  }

  void SkipSpace() {
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++pos_;
      } else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  bool Peek(char c) {
    SkipSpace();
    return pos_ < s_.size() && s_[pos_] == c;
  }

  void Expect(char c) {
    if (!Peek(c)) Fail(std::string("'") + c + "' expected");
    ++pos_;
  }

  std::string Ident() {
    SkipSpace();
    if (pos_ >= s_.size() || !IsIdentStart(s_[pos_])) Fail("identifier expected");
    const size_t start = pos_;
    while (pos_ < s_.size() && IsIdentChar(s_[pos_])) ++pos_;
    return std::string(s_.substr(start, pos_ - start));
  }

  // A property path: identifiers joined by dots.
  std::string Path() {
    std::string path = Ident();
    while (pos_ < s_.size() && s_[pos_] == '.') {
      ++pos_;
      path += '.' + Ident();
    }
    return path;
  }

  struct DepthGuard {
    Parser& parser;
    explicit DepthGuard(Parser& p) : parser(p) {
      if (++parser.depth_ > kMaxDepth) parser.Fail("nesting too deep");
    }
    ~DepthGuard() { --parser.depth_; }
  };

  TLayoutObject Object() {
    DepthGuard guard(*this);
    TLayoutObject obj;
    obj.line = line_;
    const std::string keyword = Ident();
    if (keyword != "object") Fail("'object' expected");
    obj.name = Ident();
    Expect(':');
    obj.className = Ident();
    for (;;) {
      SkipSpace();
      if (pos_ >= s_.size()) Fail("'end' expected before the end of the text");
      const size_t mark = pos_;
      const int markLine = line_;
      const std::string word = Ident();
      if (word == "end") return obj;
      if (word == "object") {
        pos_ = mark;
        line_ = markLine;
        obj.children.push_back(Object());
        continue;
      }
      pos_ = mark;
      TLayoutProperty prop;
      prop.line = line_;
      prop.name = Path();
      Expect('=');
      prop.value = Value();
      obj.properties.push_back(std::move(prop));
    }
  }

  TLayoutValue Value() {
    SkipSpace();
    if (pos_ >= s_.size()) Fail("value expected");
    const char c = s_[pos_];
    if (c == '\'' || c == '#') return String();
    if (c == '[') return Set();
    if (c == '(') return List();
    if (c == '{') return Binary();
    if (c == '-' || c == '+' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) return Number();
    if (IsIdentStart(c)) {
      TLayoutValue v;
      v.text = Path();
      if ((v.text == "file" || v.text == "sizedfile") && Peek('(')) {
        ++pos_;
        TLayoutValue path = String();
        Expect(')');
        v.kind = TLayoutValue::Kind::File;
        v.integer = v.text == "sizedfile" ? 1 : 0;
        v.text = path.text;
        return v;
      }
      v.kind = TLayoutValue::Kind::Ident;
      return v;
    }
    Fail(std::string("unexpected character '") + c + "'");
  }

  TLayoutValue String() {
    TLayoutValue v;
    v.kind = TLayoutValue::Kind::String;
    for (;;) {
      SkipSpace();
      bool any = false;
      while (pos_ < s_.size() && (s_[pos_] == '\'' || s_[pos_] == '#')) {
        any = true;
        if (s_[pos_] == '#') {
          ++pos_;
          const size_t start = pos_;
          uint32_t cp = 0;
          int base = 10;
          if (pos_ < s_.size() && s_[pos_] == '$') {
            base = 16;
            ++pos_;
          }
          auto [end, ec] = std::from_chars(s_.data() + pos_, s_.data() + s_.size(), cp, base);
          if (ec != std::errc() || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            pos_ = start;
            Fail("invalid character code");
          }
          pos_ = static_cast<size_t>(end - s_.data());
          AppendUtf8(v.text, cp);
        } else {
          ++pos_;
          for (;;) {
            if (pos_ >= s_.size() || s_[pos_] == '\n') Fail("unterminated string");
            if (s_[pos_] == '\'') {
              if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
                v.text += '\'';
                pos_ += 2;
                continue;
              }
              ++pos_;
              break;
            }
            v.text += s_[pos_++];
          }
        }
      }
      if (!any) Fail("string expected");
      if (!Peek('+')) return v;
      ++pos_;
    }
  }

  TLayoutValue Number() {
    SkipSpace();
    const size_t start = pos_;
    bool negative = false;
    if (s_[pos_] == '-' || s_[pos_] == '+') negative = s_[pos_++] == '-';
    TLayoutValue v;
    v.kind = TLayoutValue::Kind::Integer;
    int base = 10;
    if (pos_ < s_.size() && s_[pos_] == '$') {
      base = 16;
      ++pos_;
    }
    uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(s_.data() + pos_, s_.data() + s_.size(), magnitude, base);
    if (ec != std::errc()) Fail("number expected");
    pos_ = static_cast<size_t>(end - s_.data());
    if (base == 10 && pos_ < s_.size() && (s_[pos_] == '.' || s_[pos_] == 'e' || s_[pos_] == 'E')) {
      const std::string literal(s_.substr(start, s_.size() - start));
      size_t used = 0;
      try {
        v.number = std::stod(literal, &used);
      } catch (const std::exception&) {
        Fail("number expected");
      }
      pos_ = start + used;
      v.kind = TLayoutValue::Kind::Float;
      return v;
    }
    if (magnitude > (base == 16 ? UINT64_MAX : static_cast<uint64_t>(INT64_MAX))) Fail("number out of range");
    v.integer = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    v.number = static_cast<double>(v.integer);
    return v;
  }

  TLayoutValue Set() {
    Expect('[');
    TLayoutValue v;
    v.kind = TLayoutValue::Kind::Set;
    if (Peek(']')) {
      ++pos_;
      return v;
    }
    for (;;) {
      TLayoutValue item;
      item.text = Ident();
      v.items.push_back(std::move(item));
      if (Peek(']')) {
        ++pos_;
        return v;
      }
      Expect(',');
    }
  }

  TLayoutValue List() {
    DepthGuard guard(*this);
    Expect('(');
    TLayoutValue v;
    v.kind = TLayoutValue::Kind::List;
    while (!Peek(')')) {
      if (pos_ >= s_.size()) Fail("')' expected");
      v.items.push_back(Value());
    }
    ++pos_;
    return v;
  }

  TLayoutValue Binary() {
    Expect('{');
    TLayoutValue v;
    v.kind = TLayoutValue::Kind::Binary;
    int high = -1;
    for (;;) {
      SkipSpace();
      if (pos_ >= s_.size()) Fail("'}' expected");
      const char c = s_[pos_++];
      if (c == '}') break;
      const int d = HexDigit(c);
      if (d < 0) Fail("hexadecimal digit expected");
      if (high < 0) {
        high = d;
      } else {
        v.bytes.push_back(static_cast<uint8_t>(high << 4 | d));
        high = -1;
      }
    }
    if (high >= 0) Fail("odd number of hexadecimal digits");
    return v;
  }

  std::string_view s_;
  size_t pos_ = 0;
  int line_ = 1;
  int depth_ = 0;
};

std::string QuoteString(const std::string& text) {
  std::string out;
  bool open = false;
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20) {
      if (open) out += '\'';
      open = false;
      out += '#' + std::to_string(u);
    } else {
      if (!open) out += '\'';
      open = true;
      out += c == '\'' ? std::string("''") : std::string(1, c);
    }
  }
  if (open) out += '\'';
  return out.empty() ? "''" : out;
}

void WriteValue(std::string& out, const TLayoutValue& v, const std::string& indent) {
  switch (v.kind) {
    case TLayoutValue::Kind::String:
      out += QuoteString(v.text);
      break;
    case TLayoutValue::Kind::Integer:
      out += std::to_string(v.integer);
      break;
    case TLayoutValue::Kind::Float: {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.17g", v.number);
      std::string text = buffer;
      if (text.find_first_of(".e") == std::string::npos) text += ".0";
      out += text;
      break;
    }
    case TLayoutValue::Kind::Ident:
      out += v.text;
      break;
    case TLayoutValue::Kind::Set:
      out += LayoutValueText(v);
      break;
    case TLayoutValue::Kind::List:
      out += "(";
      for (const TLayoutValue& item : v.items) {
        out += "\n" + indent + "  ";
        WriteValue(out, item, indent + "  ");
      }
      out += ")";
      break;
    case TLayoutValue::Kind::Binary: {
      static const char kHex[] = "0123456789ABCDEF";
      out += "{";
      for (size_t i = 0; i < v.bytes.size(); ++i) {
        if (i % 32 == 0) out += "\n" + indent + "  ";
        out += kHex[v.bytes[i] >> 4];
        out += kHex[v.bytes[i] & 15];
      }
      out += "}";
      break;
    }
    case TLayoutValue::Kind::File:
      out += (v.integer ? "sizedfile(" : "file(") + QuoteString(v.text) + ")";
      break;
  }
}

void WriteObject(std::string& out, const TLayoutObject& obj, const std::string& indent) {
  out += indent + "object " + obj.name + ": " + obj.className + "\n";
  for (const TLayoutProperty& p : obj.properties) {
    out += indent + "  " + p.name + " = ";
    WriteValue(out, p.value, indent + "  ");
    out += "\n";
  }
  for (const TLayoutObject& child : obj.children) WriteObject(out, child, indent + "  ");
  out += indent + "end\n";
}

}  // namespace

TLayoutObject ParseLayout(std::string_view text) {
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return Parser(text).Root();
}

std::string WriteLayout(const TLayoutObject& root) {
  std::string out;
  WriteObject(out, root, "");
  return out;
}

std::string LayoutValueText(const TLayoutValue& value) {
  switch (value.kind) {
    case TLayoutValue::Kind::Integer:
      return std::to_string(value.integer);
    case TLayoutValue::Kind::Float: {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.17g", value.number);
      return buffer;
    }
    case TLayoutValue::Kind::Set: {
      std::string text = "[";
      for (size_t i = 0; i < value.items.size(); ++i) text += (i ? ", " : "") + value.items[i].text;
      return text + "]";
    }
    default:
      return value.text;
  }
}
