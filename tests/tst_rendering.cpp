#include "app/Unit1.h"
#include "testsupport.h"
#include "toolkit/controls.h"
#include "toolkit/view.h"

#include <QtTest>

class TestRendering : public QObject {
    Q_OBJECT
private slots:
    void partialRepaintsMatchFullRender();
};

// Painting only the damaged areas, frame after frame, must give the same picture as painting
// everything: a moving hand or shadow that leaves a trail means the damage missed something.
void TestRendering::partialRepaintsMatchFullRender() {
    setLocalTime(2026, 3, 14, 10, 9, 58, 0);
    TForm1 form;
    QImage canvas = form.view().grabScene();
    form.view().takeDamage();
    // Paints lag behind the changes now and then, as they do under a busy event loop.
    QRegion late;
    for (int frame = 0; frame < 240; ++frame) {
        advance(7 + frame % 23);
        const QRegion damage = form.view().takeDamage();
        if (frame % 3 == 0) {
            late = damage;
            continue;
        }
        form.view().renderArea(canvas, damage + late);
        late = QRegion();
    }
    const QImage full = form.view().grabScene();
    // Edges may differ by antialiasing between a baked and a directly drawn picture; trails would not.
    QCOMPARE_LE(differingPixels(canvas, full, 48), 40);
}

QTEST_MAIN(TestRendering)
#include "tst_rendering.moc"
