#pragma once

// Holds a flag set for as long as the guard lives: the port is in use by one exchange, step or
// probe, and the event loop that runs while it waits must see that.
class FlagGuard
{
public:
    explicit FlagGuard(bool& flag) : mFlag(flag) { mFlag = true; }
    ~FlagGuard() { mFlag = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& mFlag;
};
