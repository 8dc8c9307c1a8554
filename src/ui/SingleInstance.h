#pragma once
// One running copy per program file and user: a later start asks the first copy to come
// forward (and open the URL it was given, if any) and ends, without acting on the rest of
// its command line.

#include <QString>
#include <functional>

namespace ferrowin {

// Call first thing in main(), once the application object exists, with the program file's
// name as the process was started (argv[0] without its folder). True: this process is the
// first copy and now listens for later ones. False: a copy runs already and was asked to come
// forward, with the url when one is given; end with exit code 1. Without a usable local
// socket the program runs unguarded.
[[nodiscard]] bool CheckSingleInstance(const QString& programFile, const QString& url = {});

// What the first copy does when a later one starts (the main window shows and raises itself,
// and connects to the url when it is not empty).
void SetComeForwardHandler(std::function<void(const QString& url)> handler);

// The local server's name (a socket path in the user's runtime folder when there is one).
[[nodiscard]] QString SingleInstanceName(const QString& programFile);

}  // namespace ferrowin
