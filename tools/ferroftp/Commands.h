#pragma once
// The subcommands of ferroftp. Each takes the arguments after its name and returns the exit
// code (2 for bad usage).

namespace ferrowin {

int RunParse(int argc, char** argv);

}  // namespace ferrowin
