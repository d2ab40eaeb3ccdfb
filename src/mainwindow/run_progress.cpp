// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/run_progress.h"

#include <QBoxLayout>
#include <QProgressBar>
#include <QPushButton>

RunProgress::RunProgress(QWidget* parent)
    : QWidget(parent), m_bar(new QProgressBar(this)), m_cancel(new QPushButton(this)) {
    setObjectName(QStringLiteral("runProgress"));
    m_bar->setObjectName(QStringLiteral("runProgressBar"));
    m_bar->setFormat(QStringLiteral("%v of %m"));
    m_bar->setTextVisible(true);
    m_cancel->setObjectName(QStringLiteral("cancelRunButton"));
    m_cancel->setText(QStringLiteral("Cancel"));
    m_cancel->setToolTip(QStringLiteral(" Stop after the drawing being read "));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_bar->setMinimumWidth(
        m_bar->fontMetrics().horizontalAdvance(QStringLiteral("00000 of 00000")) * 3 / 2);
    row->addWidget(m_bar, 1);
    row->addWidget(m_cancel);
    for (QWidget* w : std::initializer_list<QWidget*>{m_bar, m_cancel}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
        w->hide();
    }
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancelRequested = true;
        m_cancel->setEnabled(false);
    });
}

void RunProgress::begin() {
    m_cancelRequested = false;
    m_cancel->setEnabled(true);
}

void RunProgress::showDone(qint64 done, qint64 total) {
    if (total <= 0) {
        m_bar->hide();
        m_cancel->hide();
        return;
    }
    // A progress bar counts in int; a run of more drawings than that is shown in proportion.
    const qint64 scale = total > INT_MAX ? total / INT_MAX + 1 : 1;
    m_bar->setRange(0, static_cast<int>(total / scale));
    m_bar->setValue(static_cast<int>(done / scale));
    if (m_bar->isHidden()) {
        m_bar->show();
        m_cancel->show();
    }
}

void RunProgress::end() {
    showDone(0, 0);
    m_cancelRequested = false;
}
