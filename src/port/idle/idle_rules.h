#pragma once

// When the idle watch starts the saver, and when it waits anew: plain logic, apart from
// the session, the watch and the saver's process, which the daemon wires to it.
//
// One saver at a time: while the saver runs, or an inhibitor of ours holds (a player's
// Inhibit call on org.freedesktop.ScreenSaver), the watch is off. Whenever it may watch
// again (the saver ended, with any code; the last inhibitor ended; the machine woke from
// sleep), it waits the whole time anew from then, for an idle time it missed meanwhile
// tells nothing (an inhibitor made while the session was idle, say).
enum class IdleAction {
    Nothing,     // nothing to do
    StartSaver,  // start the saver; the watch is off until told to rearm
    Disarm,      // turn the watch off
    Rearm,       // wait the whole time anew, from now
};

class IdleRules {
public:
    // The watch says the session has been idle for the whole wait.
    IdleAction SessionIdle();
    // The saver that was started has ended.
    IdleAction SaverEnded();
    // Inhibitors of our own, now this many.
    IdleAction InhibitorsNow(int count);
    // The machine woke from sleep.
    IdleAction WokeUp();

    bool saverRunning() const { return saverRunning_; }
    bool watching() const { return !saverRunning_ && inhibitors_ == 0; }

private:
    bool saverRunning_ = false;
    int inhibitors_ = 0;
};
