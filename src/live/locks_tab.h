#pragma once

#include "real_time_part.h"

#include <QWidget>

namespace tavimond {

// "Locks": the instance's locks and blocked sessions.
class LocksTab : public QWidget {
    Q_OBJECT
public:
    explicit LocksTab(const PartContext &context);

private:
    PartContext context_;
};

} // namespace tavimond
