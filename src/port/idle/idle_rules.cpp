#include "port/idle/idle_rules.h"

IdleAction IdleRules::SessionIdle()
{
    // A watch told of idle time it should not have watched for (an event already on its
    // way when it was turned off) starts nothing.
    if (!watching())
        return IdleAction::Nothing;
    saverRunning_ = true;
    return IdleAction::StartSaver;
}

IdleAction IdleRules::SaverEnded()
{
    if (!saverRunning_)
        return IdleAction::Nothing;
    saverRunning_ = false;
    return watching() ? IdleAction::Rearm : IdleAction::Nothing;
}

IdleAction IdleRules::InhibitorsNow(int count)
{
    const bool was = watching();
    inhibitors_ = count > 0 ? count : 0;
    if (was && !watching())
        return IdleAction::Disarm;
    if (!was && watching())
        return IdleAction::Rearm;
    return IdleAction::Nothing;
}

IdleAction IdleRules::WokeUp()
{
    return watching() ? IdleAction::Rearm : IdleAction::Nothing;
}
