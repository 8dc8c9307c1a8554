#pragma once
// One running copy per program file and user: a later start asks the first copy to come
// forward and ends, without acting on its own command line.

#include <QString>
#include <functional>

namespace ferrowin {

// Call first thing in main(), once the application object exists, with the program file's
// name as the process was started (argv[0] without its folder). True: this process is the
// first copy and now listens for later ones. False: a copy runs already and was asked to come
// forward; end with exit code 1. Without a usable local socket the program runs unguarded.
[[nodiscard]] bool CheckSingleInstance(const QString& programFile);

// What the first copy does when a later one starts (the main window shows and raises itself).
void SetComeForwardHandler(std::function<void()> handler);

// The local server's name (a socket path in the user's runtime folder when there is one).
[[nodiscard]] QString SingleInstanceName(const QString& programFile);

}  // namespace ferrowin
