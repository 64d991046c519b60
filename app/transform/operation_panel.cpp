#include "transform/operation_panel.h"

#include "transform/transformation_window.h"

#include <map>

namespace {

std::map<std::string, OperationPanelFactory>& registry()
{
    static std::map<std::string, OperationPanelFactory> panels;
    return panels;
}

void install_all_once()
{
    static const bool installed = [] {
        install_tone_panels();
        install_geometry_panels();
        install_reduce_panels();
        return true;
    }();
    (void)installed;
}

} // namespace

OperationPanel::OperationPanel(TransformationWindow* window) : QWidget(window), window_(window) {}

void register_operation_panel(const std::string& name, OperationPanelFactory factory)
{
    registry()[name] = factory;
}

OperationPanel* create_operation_panel(TransformationWindow* window)
{
    install_all_once();
    const auto found = registry().find(window->operation().name);
    return found == registry().end() ? nullptr : found->second(window);
}
