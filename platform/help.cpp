#include "help.h"

namespace {

struct HelpState
{
    Help::Viewer viewer;
    QList<Help::Request> requests;
};

HelpState &state()
{
    static HelpState s;
    return s;
}

void dispatch(QWidget *owner, const Help::Request &request)
{
    state().requests.append(request);
    if (state().viewer)
        state().viewer(owner, request);
}

} // namespace

void Help::showTopic(QWidget *owner, const QString &topic)
{
    dispatch(owner, Request{topic, 0});
}

void Help::showContext(QWidget *owner, int context)
{
    dispatch(owner, Request{QString(), context});
}

void Help::setViewer(Viewer viewer)
{
    state().viewer = std::move(viewer);
}

const QList<Help::Request> &Help::requests()
{
    return state().requests;
}

void Help::clearRequests()
{
    state().requests.clear();
}
