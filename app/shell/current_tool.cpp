#include "shell/current_tool.h"

namespace {
ToolHandler* g_tool = nullptr;
std::function<void()> g_listener;
}

ToolHandler* current_tool()
{
    return g_tool;
}

void set_current_tool(ToolHandler* tool)
{
    if (g_tool == tool)
        return;
    g_tool = tool;
    if (g_listener)
        g_listener();
}

void set_current_tool_listener(std::function<void()> listener)
{
    g_listener = std::move(listener);
}
