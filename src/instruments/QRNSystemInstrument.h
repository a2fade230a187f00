#pragma once

#include <QString>

// Every instrument takes one sample when told to (collectNewSample) and answers
// values computed from its two latest samples. Instruments never schedule
// themselves; the controller drives them from the sampling groups.
class QRNSystemInstrument {
public:
    virtual ~QRNSystemInstrument() = default;

    // The base takes no sample and reports that the subclass forgot to.
    virtual void collectNewSample();
    virtual QString description() const;
    virtual QString className() const { return QStringLiteral("QRNSystemInstrument"); }
};
