#include "lsp/uri.h"

#include <cctype>
#include <string>

namespace zorm::lsp {

namespace {

// Percent-decoding; a "%" not followed by two hex digits stays as it is.
std::string percent_decode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      decoded.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
      i += 2;
      continue;
    }
    decoded.push_back(text[i]);
  }
  return decoded;
}

bool is_unreserved(unsigned char c) {
  return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

void percent_encode_into(std::string& out, std::string_view text) {
  static const char HEX[] = "0123456789ABCDEF";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (is_unreserved(byte) || c == '/') {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(HEX[byte >> 4]);
      out.push_back(HEX[byte & 15]);
    }
  }
}

bool is_drive(std::string_view text) {
  return text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':' &&
         (text.size() == 2 || text[2] == '/' || text[2] == '\\');
}

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> path_from_uri(std::string_view uri, PathStyle style) {
  if (!starts_with_ignoring_case(uri, "file:")) return std::nullopt;
  std::string_view rest = uri.substr(5);
  // Query and fragment are no part of a file's name.
  rest = rest.substr(0, rest.find_first_of("?#"));
  std::string authority;
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    authority = percent_decode(rest.substr(0, slash));
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  }
  std::string path = percent_decode(rest);
  if (path.empty() || path[0] != '/') return std::nullopt;
  if (authority == "localhost") authority.clear();
  if (style == PathStyle::posix) {
    return authority.empty() ? path : "//" + authority + path;
  }
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (!authority.empty()) return "\\\\" + authority + path;
  std::string_view without_slash = std::string_view(path).substr(1);
  if (is_drive(without_slash)) {
    std::string drive_path(without_slash);
    drive_path[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(drive_path[0])));
    if (drive_path.size() == 2) drive_path.push_back('\\');
    return drive_path;
  }
  return path;
}

std::string uri_from_path(std::string_view path, PathStyle style) {
  std::string uri = "file://";
  if (style == PathStyle::posix) {
    if (path.substr(0, 2) == "//" && path.substr(0, 3) != "///") {
      const size_t slash = path.find('/', 2);
      uri.append(path.substr(2, slash - 2));
      path = slash == std::string_view::npos ? std::string_view() : path.substr(slash);
    }
    percent_encode_into(uri, path);
    return uri;
  }
  std::string forward(path);
  for (char& c : forward) {
    if (c == '\\') c = '/';
  }
  std::string_view rest = forward;
  if (rest.substr(0, 2) == "//") {
    const size_t slash = rest.find('/', 2);
    uri.append(rest.substr(2, slash - 2));
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    percent_encode_into(uri, rest);
    return uri;
  }
  if (is_drive(rest)) {
    uri += '/';
    uri += static_cast<char>(std::tolower(static_cast<unsigned char>(rest[0])));
    uri += "%3A";
    rest.remove_prefix(2);
    if (rest.empty()) rest = "/";
  }
  percent_encode_into(uri, rest);
  return uri;
}

}  // namespace zorm::lsp
