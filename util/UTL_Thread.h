#pragma once

#include <thread>

// A thread whose body is the subclass's Run. Start may be called again once Run has returned:
// the finished thread is joined before the new one starts.
//
// Stopping is cooperative: nothing here ends a thread forcibly. A subclass makes its Run return
// (a flag it polls, an aborted transfer) and then calls Join, at the latest in its own
// destructor, before the members Run uses are destroyed. The base destructor joins as a last
// resort, so a forgotten thread never outlives its object.
class UTL_Thread
{
public:
    UTL_Thread() = default;
    virtual ~UTL_Thread();

    UTL_Thread(const UTL_Thread&) = delete;
    UTL_Thread& operator=(const UTL_Thread&) = delete;

    // The thread's body.
    virtual void Run() = 0;

    // Starts a thread running Run, after joining one that has finished.
    void Start();
    // Waits for the thread to end; nothing happens when none was started.
    void Join();

private:
    std::thread thread;
};
