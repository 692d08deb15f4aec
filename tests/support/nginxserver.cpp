#include "support/nginxserver.h"

#include <QDir>
#include <unistd.h>

namespace hl::test {

namespace {
const QString kNginx = QStringLiteral("/usr/sbin/nginx");
}

NginxServer::NginxServer(const NginxOptions& options) {
    if (!programExists(kNginx)) return;
    tls_ = !options.certificateFile.isEmpty();
    port_ = freeLoopbackPort();
    const QString p = prefix_.path();
    QDir().mkpath(p + QStringLiteral("/temp"));
    // Worker processes of a root master would switch to an unprivileged user that cannot read
    // the test's private temporary folders.
    const QString user = ::geteuid() == 0 ? QStringLiteral("user root root;\n") : QString();
    const QString listen =
        QStringLiteral("listen 127.0.0.1:%1%2;").arg(port_).arg(tls_ ? QStringLiteral(" ssl") : QString());
    const QString tls = tls_ ? QStringLiteral("ssl_certificate %1;\nssl_certificate_key %2;\n"
                                              "ssl_protocols TLSv1 TLSv1.1 TLSv1.2 TLSv1.3;\n")
                                   .arg(options.certificateFile, options.keyFile)
                             : QString();
    const QString config = user + QStringLiteral("worker_processes 1;\n"
                                                 "pid %1/nginx.pid;\n"
                                                 "error_log %1/error.log info;\n"
                                                 "events { worker_connections 1024; }\n"
                                                 "http {\n"
                                                 "  access_log %1/access.log;\n"
                                                 "  client_body_temp_path %1/temp/body;\n"
                                                 "  proxy_temp_path %1/temp/proxy;\n"
                                                 "  fastcgi_temp_path %1/temp/fastcgi;\n"
                                                 "  uwsgi_temp_path %1/temp/uwsgi;\n"
                                                 "  scgi_temp_path %1/temp/scgi;\n"
                                                 "  default_type application/octet-stream;\n"
                                                 "  sendfile on;\n"
                                                 "  keepalive_requests 100000;\n"
                                                 "  server {\n"
                                                 "    %2\n"
                                                 "    server_name localhost;\n"
                                                 "    root %3;\n"
                                                 "    %4\n"
                                                 "    %5\n"
                                                 "  }\n"
                                                 "}\n")
                                      .arg(p, listen, files_.path(), tls, options.serverDirectives);
    prefix_.write(QStringLiteral("nginx.conf"), config.toUtf8());
    process_ = ChildProcess(kNginx,
                            {QStringLiteral("-p"), p, QStringLiteral("-c"),
                             prefix_.file(QStringLiteral("nginx.conf")), QStringLiteral("-g"),
                             QStringLiteral("daemon off;")},
                            prefix_.file(QStringLiteral("error.log")));
    started_ = waitForPort(port_) && process_.running();
}

NginxServer::~NginxServer() {
    process_.stop();
}

QString NginxServer::log() const {
    return QString::fromUtf8(prefix_.read(QStringLiteral("error.log")));
}

QString NginxServer::put(const QString& name, const QByteArray& content) const {
    files_.write(name, content);
    return url(QLatin1Char('/') + name);
}

QString NginxServer::url(const QString& path) const {
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(tls_ ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(port_)
        .arg(path);
}

} // namespace hl::test
