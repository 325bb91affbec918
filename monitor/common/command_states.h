// CommandStates: where a window reports which commands it can carry out at the moment; the main
// window greys or enables them in its menu and on its toolbar together.
#pragma once

class CommandStates {
 public:
  virtual void SetCommandEnabled(int command, bool enabled) = 0;
  // A command the window could not carry out (Copy while another program holds the clipboard):
  // the user is to be told.
  virtual void CommandFailed(int command) = 0;

 protected:
  ~CommandStates() = default;  // never deleted through this interface
};
