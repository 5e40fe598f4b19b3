// The process's surroundings: environment variables and its own executable.
#pragma once

#include <string>

namespace tess {

class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value, or "" when it is not set.
  virtual std::string Variable(const std::string& name) = 0;
  // Full path of the running program's executable.
  virtual std::string ModulePath() = 0;
};

}  // namespace tess
