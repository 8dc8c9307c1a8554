#pragma once
// The subcommands of ferroftp. Each takes the arguments after its name and returns the exit
// code (2 for bad usage).

namespace ferrowin {

int RunParse(int argc, char** argv);
int RunGet(int argc, char** argv);
int RunPut(int argc, char** argv);
int RunHttp(int argc, char** argv);
int RunLs(int argc, char** argv);

}  // namespace ferrowin
