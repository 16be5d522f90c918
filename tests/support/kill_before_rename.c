/* Preloaded into a program under test (LD_PRELOAD) to stand for a kill or a power cut at the
 * worst moment of a save: when the program renames a file onto the name given in
 * TARVO_KILL_BEFORE_RENAME (compared with the target's last path component), the process is
 * killed before the rename happens. Every other rename goes through. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>

typedef int (*rename_fn)(const char*, const char*);

static const char* last_component(const char* path) {
    const char* slash = strrchr(path, '/');
    return slash != NULL ? slash + 1 : path;
}

int rename(const char* from, const char* to) {
    const char* victim = getenv("TARVO_KILL_BEFORE_RENAME");
    if (victim != NULL && strcmp(last_component(to), victim) == 0) raise(SIGKILL);
    rename_fn real = (rename_fn)dlsym(RTLD_NEXT, "rename");
    return real != NULL ? real(from, to) : -1;
}
