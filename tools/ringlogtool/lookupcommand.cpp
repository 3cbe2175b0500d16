#include "tools/ringlogtool/toolcommands.h"

#include <cstdio>

int RunLookupCommand(const ToolOptions&, const std::vector<std::string>&) {
    std::fprintf(stderr, "ringlog-tool: lookup is not available in this build\n");
    return 1;
}
