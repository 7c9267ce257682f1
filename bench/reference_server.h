// The reference the server benchmarks measure lexmire-server against: a
// server of the bench's own that sends the same traffic and does nothing
// else, the way a server with no overhead of its own would.
#pragma once

#include <string>

namespace serverbench {

// Serves a listening socket until killed. A start request from any
// connection sends `roundStart` (whole messages, end bytes included) to every
// connection; a word from a seat (1 to 4) sends a found-word message of the
// usual size to every connection; everything else is read and ignored. What
// one wake-up owes a connection goes out in one write.
void serveReference(int listenFd, const std::string& roundStart);

} // namespace serverbench
