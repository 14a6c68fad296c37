#include "net/UTL_SessionProgress.h"

#include <algorithm>

namespace
{
const char Dot[] = " \xC2\xB7 "; // " · "

std::string Friends(int count)
{
    return UTL_SessionProgress::Thousands(uint64_t(count < 0 ? 0 : count)) +
           (count == 1 ? " friend" : " friends");
}
} // namespace

bool UTL_SessionProgress::operator==(const UTL_SessionProgress& other) const
{
    return stage == other.stage && friends == other.friends && pairs == other.pairs &&
           pairsAsked == other.pairsAsked && found == other.found && reason == other.reason;
}

bool UTL_SessionProgress::IsFailure() const
{
    switch (stage)
    {
    case Stage::ServerUnreachable:
    case Stage::LoginRefused:
    case Stage::FriendsFailed:
    case Stage::BatchesFailed:
    case Stage::SessionLost:
        return true;
    default:
        return false;
    }
}

int UTL_SessionProgress::Percent() const
{
    if (stage != Stage::LoadingFriendships)
        return -1;
    if (pairs == 0)
        return 0;
    return int(std::min<uint64_t>(pairsAsked, pairs) * 100 / pairs);
}

std::string UTL_SessionProgress::Describe() const
{
    const std::string asked = Thousands(pairsAsked) + " of " + Thousands(pairs) + " pairs";
    switch (stage)
    {
    case Stage::LoggingIn:
        return "Log in on the login page, then press Close";
    case Stage::ServerUnreachable:
        return "Server unreachable (" + reason + "); trying again every few seconds";
    case Stage::LoginRefused:
        return "Not logged in: the login was refused or not finished. File > Log in again to "
               "retry";
    case Stage::FriendsFailed:
        return "Friends not loaded: " + reason + ". File > Log in again to retry";
    case Stage::LoadingFriendships:
        return Friends(friends) + Dot + "friendships " + asked + " asked" + Dot + Thousands(found) +
               " found";
    case Stage::AllKnown:
        if (friends == 0)
            return "No friends in this circle";
        if (pairs == 0)
            return Friends(friends) + Dot + "no friendships to ask";
        return Friends(friends) + Dot + "all " + Thousands(found) +
               (found == 1 ? " friendship known" : " friendships known");
    case Stage::BatchesFailed:
        return Friends(friends) + Dot + "friendships stopped after " + asked + " (" +
               Thousands(found) + " found): " + reason;
    case Stage::SessionLost:
        return Friends(friends) + Dot + "session lost after " + asked + " (" + Thousands(found) +
               " friendships found). File > Log in again to go on";
    case Stage::Stopped:
        break;
    }
    return std::string();
}

std::string UTL_SessionProgress::Thousands(uint64_t value)
{
    std::string digits = std::to_string(value);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(size_t(at), ",");
    return digits;
}
