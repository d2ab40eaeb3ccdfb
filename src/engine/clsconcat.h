#pragma once

#include <QString>

// Collects many small pieces of text into one long string, growing its storage in large steps so
// building a long text costs time in proportion to its length.
class clsConcat {
public:
    static constexpr qsizetype kGrowthStep = 15000;

    void ReInit();
    QString GetString();  // the text built so far; empties the builder
    void SConcat(const QString& Source);

    qsizetype capacity() const { return mstrBuffer.size(); }

private:
    QString mstrBuffer;  // first mlngLen characters are the text, the rest NUL padding
    qint32 mlngLen = 0;
};
