#include "engine/clsconcat.h"

#include <algorithm>

void clsConcat::ReInit() {
    mstrBuffer.clear();
    mlngLen = 0;
}

QString clsConcat::GetString() {
    QString text = mstrBuffer.left(mlngLen);
    ReInit();
    return text;
}

void clsConcat::SConcat(const QString& Source) {
    const qsizetype length = Source.size();
    if (mlngLen + length >= mstrBuffer.size()) {
        mstrBuffer.resize(mstrBuffer.size() + std::max(kGrowthStep, length), QChar(0));
    }
    std::copy(Source.cbegin(), Source.cend(), mstrBuffer.begin() + mlngLen);
    mlngLen += static_cast<qint32>(length);
}
