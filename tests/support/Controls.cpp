#include "Controls.h"

#include <deque>

extern "C" {
Uint32 __real_SDL_GetTicks(void);
int __real_rand(void);
void __real_srand(unsigned seed);
std::time_t __real_time(std::time_t* when);
}

namespace {

bool ticksFaked = false;
Uint32 fakeTicks = 0;
std::deque<int> scriptedRand;
bool timeFaked = false;
std::time_t fakeTime = 0;
std::vector<unsigned> seeds;

} // namespace

namespace controls {

void SetTicks(Uint32 ticks)
{
    ticksFaked = true;
    fakeTicks = ticks;
}

void AdvanceTicks(Uint32 milliseconds)
{
    fakeTicks += milliseconds;
}

void ScriptRand(const std::vector<int>& values)
{
    scriptedRand.assign(values.begin(), values.end());
}

void SetTime(std::time_t now)
{
    timeFaked = true;
    fakeTime = now;
}

const std::vector<unsigned>& Seeds()
{
    return seeds;
}

void Reset()
{
    ticksFaked = false;
    scriptedRand.clear();
    timeFaked = false;
    seeds.clear();
}

} // namespace controls

extern "C" {

Uint32 __wrap_SDL_GetTicks(void)
{
    return ticksFaked ? fakeTicks : __real_SDL_GetTicks();
}

int __wrap_rand(void)
{
    if (scriptedRand.empty())
        return __real_rand();
    const int value = scriptedRand.front();
    scriptedRand.pop_front();
    return value;
}

void __wrap_srand(unsigned seed)
{
    seeds.push_back(seed);
    __real_srand(seed);
}

std::time_t __wrap_time(std::time_t* when)
{
    if (!timeFaked)
        return __real_time(when);
    if (when)
        *when = fakeTime;
    return fakeTime;
}

} // extern "C"
