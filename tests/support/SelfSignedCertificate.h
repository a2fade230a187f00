#pragma once

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTemporaryDir>

// A certificate for 127.0.0.1 made by openssl for one test, and the TLS
// configuration of a server that presents it. While a Trust lives, the
// process's default configuration accepts it as a certificate authority;
// nothing else about certificate checking changes.
class SelfSignedCertificate {
public:
    SelfSignedCertificate()
    {
        QProcess openssl;
        openssl.setWorkingDirectory(m_folder.path());
        openssl.start(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                QStringLiteral("-keyout"), QStringLiteral("key.pem"), QStringLiteral("-out"), QStringLiteral("cert.pem"),
                QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
            m_error = QString::fromLocal8Bit(openssl.readAllStandardError()) + openssl.errorString();
            return;
        }
        QFile certificate(m_folder.filePath(QStringLiteral("cert.pem")));
        QFile key(m_folder.filePath(QStringLiteral("key.pem")));
        if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
            return;
        m_certificate = QSslCertificate(&certificate, QSsl::Pem);
        m_key = QSslKey(&key, QSsl::Ec, QSsl::Pem);
    }

    bool isValid() const { return !m_certificate.isNull() && !m_key.isNull(); }
    QString error() const { return m_error; }

    QSslConfiguration serverConfiguration() const
    {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(m_certificate);
        configuration.setPrivateKey(m_key);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        return configuration;
    }

    class Trust {
    public:
        explicit Trust(const SelfSignedCertificate& certificate)
            : m_previous(QSslConfiguration::defaultConfiguration())
        {
            QSslConfiguration trusting = m_previous;
            trusting.addCaCertificate(certificate.m_certificate);
            QSslConfiguration::setDefaultConfiguration(trusting);
        }
        ~Trust() { QSslConfiguration::setDefaultConfiguration(m_previous); }
        Trust(const Trust&) = delete;
        Trust& operator=(const Trust&) = delete;

    private:
        QSslConfiguration m_previous;
    };

private:
    QTemporaryDir m_folder;
    QSslCertificate m_certificate;
    QSslKey m_key;
    QString m_error;
};
