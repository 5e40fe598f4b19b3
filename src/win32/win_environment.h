// Environment variables and the running program's own path.
#pragma once

#include "ports/environment.h"

namespace tess::win32 {

class WinEnvironment : public Environment {
 public:
  std::string Variable(const std::string& name) override;
  std::string ModulePath() override;
};

}  // namespace tess::win32
