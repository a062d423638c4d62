// The remote control's commands, carried out on the main window.
#include "app/Unit1.h"
#include "app/remoteform.h"

#include "toolkit/controls.h"

void TForm1RemoteTarget::start() {
    form_.startCountdown();
}

void TForm1RemoteTarget::stop() {
    form_.stopCountdown();
}

void TForm1RemoteTarget::toggle() {
    form_.Button2Click(nullptr);
}

bool TForm1RemoteTarget::pause() {
    return form_.pauseCountdown();
}

void TForm1RemoteTarget::resume() {
    form_.resumeCountdown();
}

void TForm1RemoteTarget::preset(int minutes) {
    form_.applyDuration(minutes);
}

void TForm1RemoteTarget::add(qint64 seconds) {
    form_.addToCountdown(seconds);
}

void TForm1RemoteTarget::setMessage(const QString& text) {
    form_.Edit1->setText(text);
}

// Only what the list offers: a name is never a path into some other folder.
QString TForm1RemoteTarget::loadSkin(const QString& name) {
    TListBox& list = *form_.SkinBox;
    QStringList listed;
    int index = -1;
    for (int i = 0; i < list.Count(); ++i) {
        listed.append(list.Item(i).text);
        if (listed.last() == name)
            index = i;
    }
    if (index < 0)
        return listed.isEmpty() ? QStringLiteral("unknown skin '%1'; no skins are listed").arg(name)
                                : QStringLiteral("unknown skin '%1'; the listed skins are: %2")
                                      .arg(name, listed.join(", "));
    list.setItemIndex(index);
    form_.MenuItem1Click(nullptr);
    if (form_.countdownStatus().skin != name)
        return QStringLiteral("the skin '%1' could not be loaded").arg(name);
    return {};
}

// A minimised window comes back as it was before.
void TForm1RemoteTarget::raise() {
    form_.show();
    form_.setWindowState((form_.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    form_.raise();
    form_.activateWindow();
}

TRemoteStatus TForm1RemoteTarget::status() const {
    const TForm1::CountdownStatus status = form_.countdownStatus();
    return {status.running, status.paused, status.remaining, status.target, status.message, status.skin};
}
