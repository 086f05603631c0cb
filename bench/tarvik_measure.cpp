// tarvik-measure: runs a command and prints its wall time and peak memory (maxrss of the child).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "用法: tarvik-measure 名称 命令 [参数...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 1;
    }
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        _exit(127);
    }
    int status = 0;
    struct rusage ru {};
    if (wait4(pid, &status, 0, &ru) < 0) {
        std::perror("wait4");
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-28s 用时 %8.2f 秒  CPU %7.2f 秒  峰值内存 %7.1f MB\n", argv[1], seconds,
                double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6,
                double(ru.ru_maxrss) / 1024.0);
    std::fflush(stdout);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
