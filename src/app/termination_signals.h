// Ctrl+C and kill end the program through its event loop, so it closes the
// way a user closing it would: files saved, the dictionary file removed.
#pragma once

#include <functional>

class QObject;

// Calls onSignal from the event loop when SIGINT or SIGTERM arrives.
void onTerminationSignals(QObject* owner, std::function<void()> onSignal);
