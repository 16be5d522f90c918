#pragma once
// The inventory case: the carried items by object id, shown six to a page.
#include <cstdint>
#include <vector>

#include "core/QObject.h"

class QObjectCase : public QObject {
    TARVO_DECLARE_CLASS(QObjectCase)
public:
    QObjectCase();
    ~QObjectCase() override;

    // An open case takes every click and hover that nothing above it takes.
    int HitTest(int, int) override { return visible ? 1 : 0; }

    // Hides and shows the case again so that it is redrawn, when it is open.
    void Refresh();

    int32_t hotButton = -1;
    int32_t firstShown = 0;
    std::vector<uint16_t> items;
};
