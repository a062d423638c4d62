#pragma once

#include "app/remoteaddress.h"
#include "app/remoteprotocol.h"

#include <QLockFile>
#include <QString>
#include <chrono>

namespace remote {
constexpr int ExitDone = 0;
constexpr int ExitRefused = 1; // a bad command or argument, or the running program refused it
constexpr int ExitNotRunning = 3;
constexpr int ExitNoAnswer = 4; // running, but no answer in time, or the connection broke
// Long enough for a skin to load on a busy machine, short enough that a button press never hangs.
constexpr std::chrono::milliseconds AnswerTimeout{5000};
} // namespace remote

// What a command run from outside prints and returns.
struct TRemoteAnswer {
    int exitCode = remote::ExitDone;
    QString output; // for standard output: the status line
    QString error;  // for standard error: the reason
};

// Hands `request` to the instance at `address` and waits at most `timeout` for its answer. It runs the
// event loop while it waits, so the server may live on the same thread.
TRemoteAnswer sendRemoteRequest(const TRemoteAddress& address, const TRemoteRequest& request,
                                std::chrono::milliseconds timeout = remote::AnswerTimeout);

// The claim to be the one program of a data folder and user, held from a successful claim() to the
// end of the object's life. Two instances would save over each other's settings and skins.
class TSingleInstance {
public:
    enum class Outcome {
        First,      // this program is the instance now; its server is to listen next
        HandedOver, // the running one raises its window; this program has nothing left to do
        Failed,     // one runs but did not take the request: see the answer
    };

    explicit TSingleInstance(TRemoteAddress address);

    Outcome claim(TRemoteAnswer* answer, std::chrono::milliseconds timeout = remote::AnswerTimeout);
    const TRemoteAddress& address() const { return address_; }

private:
    TRemoteAddress address_;
    QLockFile lock_;
};
