// The console and the messages of the publisher's tools; see console.h.
#include "console.h"

#include "cp932_text.h"
#include "progress.h"
#include "system/code_page.h"
#include "system/console_io.h"
#include "update_version.h"

namespace {

const char* ToolName = "update-tool";

}  // namespace

ToolConsole::ToolConsole() : alone_(console_of_its_own()) {}

int ToolConsole::close(int status) const {
  if (!alone_) return status;
  forget_typed_keys();  // a key pressed while the tool worked must not close the window unread
  print(stdout,
        u8"\n何かキーを押すと、このウィンドウを閉じます。\nPress any key to close this window.\n");
  wait_for_key();
  return status;
}

std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    // C1 controls are U+0080 to U+009F: 0xC2 and a second byte 0x80 to 0x9F in UTF-8.
    bool c1 = b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
              static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    if (b >= 0x20 && b != 0x7F && !c1) {
      out += text[i];
      continue;
    }
    unsigned code = c1 ? static_cast<unsigned char>(text[++i]) : b;
    char escaped[8];
    (void)snprintf(escaped, sizeof escaped, "\\x%02X", code);
    out += escaped;
  }
  return out;
}

std::string shown_path(const std::filesystem::path& path) {
  return printable(path.u8string());
}

std::string shown(const std::string& cp932) {
  return "\"" + printable(cp932_to_utf8(cp932)) + "\"";
}

void set_tool_name(const char* name) {
  ToolName = name;
}

const char* tool_name() {
  return ToolName;
}

void print(FILE* stream, const std::string& text) {
  (void)write_beside_progress(stream, text);
}

void complain(const std::string& text) {
  print(stderr, std::string(ToolName) + ": " + text + "\n");
}

int print_version() {
  return print_result(std::string(ToolName) + " " UPDATE_VERSION "\n") ? 0 : 2;
}

bool print_result(const std::string& text) {
  return write_beside_progress(stdout, text) && fflush(stdout) == 0;
}

std::string code_page_refusal() {
  return std::string(ToolName) +
         " reads the disc as the updater does, with code page 932 names, and this system runs "
         "code page " +
         std::to_string(ansi_code_page()) +
         " (Windows before 11 gives no program another one): run it on a system whose language "
         "for non-Unicode programs is Japanese, on Windows 11, or on Linux";
}

std::string converters_problem() {
  if (!cp932_converter_ready()) return "this system has no code page 932 converter (iconv CP932)";
  if (ansi_code_page() != 932) return code_page_refusal();
  return "";
}
