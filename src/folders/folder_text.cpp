#include "folders/folder_text.h"

namespace tess {

std::string JoinFolderEntries(const std::vector<std::string>& entries) {
  std::string text;
  for (const auto& entry : entries) {
    if (entry.find(';') != std::string::npos) {
      text += '"';
      text += entry;
      text += "\";";
    } else {
      text += entry;
      text += ';';
    }
  }
  return text;
}

namespace {
void AppendPiece(std::vector<std::string>& out, const std::string& piece) {
  if (piece.find_first_not_of(' ') != std::string::npos) out.push_back(piece);
}
}  // namespace

std::vector<std::string> SplitFolderEntries(const std::string& text) {
  std::vector<std::string> out;
  size_t pos = 0;
  const size_t n = text.size();
  while (pos <= n) {
    if (pos < n && text[pos] == '"') {
      // A quoted entry ends at a quote followed by ";" or by the end of the text.
      size_t close = text.find('"', pos + 1);
      while (close != std::string::npos && close + 1 < n && text[close + 1] != ';') {
        close = text.find('"', close + 1);
      }
      if (close != std::string::npos) {
        AppendPiece(out, text.substr(pos + 1, close - pos - 1));
        pos = close + 2;
        continue;
      }
      // No closing quote: read the rest the plain way.
    }
    const size_t semi = text.find(';', pos);
    const size_t end = semi == std::string::npos ? n : semi;
    AppendPiece(out, text.substr(pos, end - pos));
    if (semi == std::string::npos) break;
    pos = semi + 1;
  }
  return out;
}

}  // namespace tess
