#include "shell/command_line.h"

#include "backup/backup_run.h"

namespace tess {

namespace {

// The option's name without its "/" or "-", in lower case; "" for a text that is no option.
std::string OptionName(const std::string& argument) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return "";
  std::string name = argument.substr(argument[1] == '-' ? 2 : 1);
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (const std::string& argument : arguments) {
    const std::string name = OptionName(argument);
    if (name == "?" || name == "help") return CommandLine{StartRequest::kUsage, ""};
    if (name == "backup" || name == "verify") {
      if (line.request == StartRequest::kWindow) {
        line.request = name == "backup" ? StartRequest::kBackup : StartRequest::kVerify;
      }
    } else if (line.request != StartRequest::kUnknownArgument) {
      line = CommandLine{StartRequest::kUnknownArgument, argument};
    }
  }
  return line;
}

std::string UsageText() {
  return "Tessaline keeps backup copies of a list of folders.\r\n"
         "\r\n"
         "Tessaline.exe            Opens the window, or brings forward the running copy.\r\n"
         "Tessaline.exe /backup    Runs one backup with the stored list, destination and\r\n"
         "                         options, without a window, and appends to the history log.\r\n"
         "Tessaline.exe /verify    Reads every file of every backup folder of the listed\r\n"
         "                         folders that has a manifest (<folder>.sha256) and compares\r\n"
         "                         it with its SHA-256 line; tells what is damaged, missing or\r\n"
         "                         unreadable, and appends the same to the history log.\r\n"
         "Tessaline.exe /?         Shows this text.\r\n"
         "\r\n"
         "Exit codes of /backup:\r\n"
         "  0  every listed folder was saved\r\n"
         "  1  a listed folder was missing or not saved completely (see the history log)\r\n"
         "  2  nothing could run: no folders listed, the destination folder missing, or no\r\n"
         "     listed folder found\r\n"
         "Exit codes of /verify:\r\n"
         "  0  every file is whole\r\n"
         "  1  a file is damaged, missing or unreadable, or a manifest line cannot be read\r\n"
         "  2  nothing could be verified: no folders listed, the destination folder missing,\r\n"
         "     or no backup folder with a manifest";
}

std::string UnknownArgumentText(const std::string& argument) {
  return "Unknown option: " + argument + "\r\n\r\n" + UsageText();
}

int BackupExitCode(const RunOutcome& outcome, int entries_listed, int failures_reported) {
  switch (outcome.kind) {
    case RunOutcome::Kind::kEmptyList:
    case RunOutcome::Kind::kDestinationMissing:
      return kExitNothingRan;
    case RunOutcome::Kind::kClean:
    case RunOutcome::Kind::kWithErrors:
      break;
  }
  if (outcome.folders_processed == 0) return kExitNothingRan;
  if (outcome.folders_failed > 0 || outcome.run_failures > 0 ||
      outcome.folders_processed < entries_listed || failures_reported > 0) {
    return kExitSomeNotSaved;
  }
  return kExitAllSaved;
}

}  // namespace tess
