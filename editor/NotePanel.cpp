#include "NotePanel.h"

#include <QLabel>
#include <QPalette>

void StyleAsNotePanel(QLabel* panel)
{
    panel->setAutoFillBackground(true);
    panel->setFrameShape(QFrame::Box);
    panel->setTextFormat(Qt::RichText);
    QPalette tip = panel->palette();
    tip.setColor(QPalette::Window, QColor(255, 255, 225));
    tip.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(tip);
}
