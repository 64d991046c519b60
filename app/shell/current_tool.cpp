#include "shell/current_tool.h"

namespace {
ToolHandler* g_tool = nullptr;
}

ToolHandler* current_tool()
{
    return g_tool;
}

void set_current_tool(ToolHandler* tool)
{
    g_tool = tool;
}
