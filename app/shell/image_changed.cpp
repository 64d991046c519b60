#include "shell/image_changed.h"

#include "shell/image_window.h"
#include "transform/transformation_window.h"
#include "transform/amount_control.h"
#include "transform/use_registry.h"

#include <QMdiArea>
#include <QPointer>

namespace {

// Collects the users first: refreshing a preview may change the use list.
class UserCollector final : public mv::UseNotifier {
public:
    void notify(const void* user, const void*, int message) override
    {
        if (message == mv::kMessageImageChanged)
            users.push_back(user);
    }
    std::vector<const void*> users;
};

} // namespace

void notify_image_changed(ImageWindow* window)
{
    if (!window)
        return;
    UserCollector collector;
    mv::use_notify_changed(app_use_list(), static_cast<const void*>(static_cast<ChildWindow*>(window)), collector);
    QMdiArea* area = window->mdiArea();
    if (collector.users.empty() || !area)
        return;
    QList<QPointer<TransformationWindow>> refresh;
    for (QMdiSubWindow* sub : area->subWindowList()) {
        auto* t = qobject_cast<TransformationWindow*>(sub);
        if (!t)
            continue;
        const void* self = static_cast<const void*>(static_cast<ChildWindow*>(t));
        const void* amount = static_cast<const void*>(t->amountControl());
        for (const void* user : collector.users)
            if (user == self || (amount && user == amount)) {
                refresh.append(t);
                break;
            }
    }
    for (const QPointer<TransformationWindow>& t : refresh)
        if (t)
            t->refreshPreview();
}
