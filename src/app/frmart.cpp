#include "frmart.h"

#include "core/commonkit.h"
#include "help/artwork.h"
#include "platform/twips.h"

#include <QLabel>
#include <QPainter>

frmart::frmart()
{
    setObjectName("frmart");
    setAccessibleName("quorl ascii shop starting");
    resize(360, 180);
    Label1 = new QLabel(this);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAccessibleName("status");
    Label1->setGeometry(8, 152, 344, 20);
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, QColor(214, 228, 232));
    Label1->setPalette(p);
    CommonKit::StayOnTop(this);
    CommonKit::CenterForm(this);
}

void frmart::setStatus(const QString& text)
{
    Label1->setText(text);
    Label1->repaint();
}

QString frmart::status() const { return Label1->text(); }

void frmart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    Artwork::PaintSplash(p, rect());
}
