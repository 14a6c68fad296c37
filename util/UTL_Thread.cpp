#include "util/UTL_Thread.h"

UTL_Thread::~UTL_Thread()
{
    Join();
}

void UTL_Thread::Start()
{
    Join();
    thread = std::thread([this] { Run(); });
}

void UTL_Thread::Join()
{
    if (thread.joinable() && thread.get_id() != std::this_thread::get_id())
        thread.join();
}
