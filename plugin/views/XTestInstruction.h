#pragma once

#include <QTimer>
#include <QWidget>

#include "hostapi/IUnknown.h"
#include "plugin/base/PlugInExport.h"

class QLabel;

namespace korotka {

// The pop-up message of the test guide window: an icon and one instruction line, optionally on a
// background that flashes red to catch the technician's eye.
class KOROTKA_PLUGIN_EXPORT XTestInstruction : public QWidget, public orvex::IUnknown {
    Q_OBJECT

public:
    static constexpr int kFlashIntervalMs = 500;

    explicit XTestInstruction(QWidget* parent = nullptr);

    // Whether the flash timer runs, whatever colour the background shows right now.
    bool Flash() const;
    void SetFlash(bool flash);
    // Shows the library's bitmap of that name ("START", "WAIT", "INFO"; an empty or unknown name
    // keeps the current picture) and the instruction text translated.
    void ShowMsg(const QString& icon, const QString& text);

    QColor BackgroundColor() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Tick();
    void SetBackground(const QColor& colour);
    QColor NormalBackground() const;
    void LayOut();

    QWidget* m_shpBackground;
    QLabel* m_imgIcon;
    QLabel* m_lblHelpTxt;
    QTimer m_tmrFlash;
};

}  // namespace korotka
