#include "integrations/login_item_text.h"

#include "integrations/desktop_entry.h"

namespace LoginItem {

std::string desktopEntryText(std::string_view binaryPath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Tarnwick\n"
         "Exec=" + DesktopEntry::escapeValue(DesktopEntry::quoteExecArgument(binaryPath)) + "\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

std::string escapeXml(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c; break;
    }
  }
  return out;
}

std::string launchAgentPlist(std::string_view binaryPath) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">\n"
         "<dict>\n"
         "    <key>Label</key>\n"
         "    <string>com.ulmarsh.tarnwick</string>\n"
         "    <key>ProgramArguments</key>\n"
         "    <array>\n"
         "        <string>" + escapeXml(binaryPath) + "</string>\n"
         "    </array>\n"
         "    <key>RunAtLoad</key>\n"
         "    <true/>\n"
         "    <key>ProcessType</key>\n"
         "    <string>Interactive</string>\n"
         "</dict>\n"
         "</plist>";
}

}  // namespace LoginItem
