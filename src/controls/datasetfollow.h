#pragma once

#include "db/dataset.h"

#include <QPointer>

namespace zelvo::controls {

// Makes receiver follow dataset instead of the one held before: the old dataset's connections
// to receiver are cut, each of the given change signals of the new one calls slot, and slot runs
// once now so that receiver shows the new dataset at once.
template <typename Receiver, typename... Signals>
void followDataset(QPointer<db::Dataset>& held, db::Dataset* dataset, Receiver* receiver,
                   void (Receiver::*slot)(), Signals... changes)
{
    if (held)
        QObject::disconnect(held, nullptr, receiver, nullptr);
    held = dataset;
    if (held)
        (QObject::connect(held.data(), changes, receiver, slot), ...);
    (receiver->*slot)();
}

} // namespace zelvo::controls
