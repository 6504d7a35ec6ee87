#include "widgets/ScrollingWhenShort.h"

#include <QScrollArea>

namespace {

// A scroll area that asks for all of its content's size: the usual one asks for at most a few
// dozen lines, which would cut a form short on any screen.
class WholeContentScrollArea : public QScrollArea
{
public:
    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        return widget()->sizeHint() + QSize(frame, frame);
    }
};

} // namespace

QWidget *scrollingWhenShort(QWidget *content)
{
    auto *area = new WholeContentScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    // The fields inside take the focus, the first of them as the window opens; the area itself
    // would be a Tab stop that shows nothing. It still scrolls to the field Tab moves to.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true);
    area->setWidget(content);
    return area;
}
