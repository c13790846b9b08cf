#pragma once
// A logout, a service manager's stop or Ctrl+C in the terminal (SIGTERM, SIGHUP, SIGINT) ends
// the program the orderly way instead of killing it: the signal is turned into a call on the
// event loop, where the window can save its settings and close its rigs.

#include <QObject>
#include <functional>

class QSocketNotifier;

class SessionSignals : public QObject {
public:
    // `ended` runs on the event loop for each signal that arrives while this object lives; the
    // signals' former handling comes back when it goes.
    explicit SessionSignals(std::function<void()> ended, QObject* parent = nullptr);
    ~SessionSignals() override;
    SessionSignals(const SessionSignals&) = delete;
    SessionSignals& operator=(const SessionSignals&) = delete;

private:
    std::function<void()> ended_;
    QSocketNotifier* notifier_ = nullptr;
};
