#pragma once

#include <QAbstractItemView>
#include <QScrollBar>

// Shows a list and draws it page by page from its first row to its last, as a user scrolling through it
// would; answers the number of pages drawn.
inline int drawFromTopToBottom(QAbstractItemView &view)
{
    view.resize(640, 400);
    view.show();
    QScrollBar *bar = view.verticalScrollBar();
    bar->setValue(bar->minimum());
    int pages = 0;
    for (;;) {
        view.viewport()->grab(); // paints the rows in sight, asking the model for each cell
        ++pages;
        if (bar->value() >= bar->maximum())
            break;
        bar->setValue(bar->value() + bar->pageStep());
    }
    return pages;
}
