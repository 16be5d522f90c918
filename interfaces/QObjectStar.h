#pragma once
// The action menu: a star of six sectors that choose the cursor mode or open the case. Its
// `active` flag allows the right-click menu at all.
#include "core/QObject.h"

class QObjectStar : public QObject {
    TARVO_DECLARE_CLASS(QObjectStar)
public:
    QObjectStar();
    ~QObjectStar() override;

    void Update(int elapsedMs) override { (void)elapsedMs; }
    int HitTest(int x, int y) override { return (void)x, (void)y, visible ? 1 : 0; }
};
