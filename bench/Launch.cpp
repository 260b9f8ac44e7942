// Starts a program once with the first-frame shim preloaded, after taking the
// monotonic clock reading that the shim measures from, and passes its exit
// status on. Usage: vexlume_launch SHIM LOG PROGRAM [ARGS...]
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s SHIM LOG PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    const long long now = static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
    setenv("LD_PRELOAD", argv[1], 1);
    setenv("VEXLUME_FRAME_LOG", argv[2], 1);
    setenv("VEXLUME_LAUNCH_NS", std::to_string(now).c_str(), 1);
    const pid_t child = fork();
    if (child < 0)
        return 2;
    if (child == 0) {
        execvp(argv[3], argv + 3);
        std::perror(argv[3]);
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) < 0)
        return 2;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
