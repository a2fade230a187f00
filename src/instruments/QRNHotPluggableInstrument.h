#pragma once

#include "instruments/QRNSystemInstrument.h"

// An instrument whose device can go away and come back (a volume, a disk).
// The owner, or the instrument itself, decides when; each real change of
// state is processed once.
class QRNHotPluggableInstrument : public QRNSystemInstrument {
public:
    bool isOffline() const { return m_isOffline; }
    void setIsOffline(bool offline);

    QString description() const override;
    QString className() const override { return QStringLiteral("QRNHotPluggableInstrument"); }

protected:
    // Notes the change in the event log; subclasses extend it (resampling on return, say).
    virtual void processHotPlugChange();

private:
    bool m_isOffline = false;
};
