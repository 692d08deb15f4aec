#include "protocols/idftp.h"

#include "buildinfo.h"
#include "platform/streams.h"
#include "protocols/idexceptions.h"
#include "protocols/socketerror.h"
#include "protocols/tcpsocket.h"

#include <QStringDecoder>
#include <chrono>
#include <vector>

namespace hl {

namespace {

constexpr int kQuitReplyWaitMs = 100;
// After a 226 to ABOR, how long a further reply of the aborted transfer may take to show up.
constexpr int kLateAbortReplyWaitMs = 10;

bool isPositivePreliminary(int code) {
    return code >= 100 && code < 200;
}
bool isPositiveCompletion(int code) {
    return code >= 200 && code < 300;
}

} // namespace

TIdFTP::TIdFTP() : Resolver(systemResolver()) {}

TIdFTP::~TIdFTP() {
    Disconnect();
}

void TIdFTP::SetTransparentProxy(const ConnectionTunnel* tunnel) {
    control_.SetTransparentProxy(tunnel);
}

// ---- Connection start ----------------------------------------------------------------------

void TIdFTP::Connect() {
    if (startSession(UseHOST)) return;
    // The server hung up in answer to HOST: servers that do not know it may do that. Once more
    // without it.
    control_.Close();
    startSession(false);
}

// Returns false when the server closed the connection in answer to HOST.
bool TIdFTP::startSession(bool sendHost) {
    openControlConnection();
    readGreeting();
    if (sendHost && !announceHost()) return false;
    logIn();
    sendCmd(QStringLiteral("SYST"));
    sendTransferType(TransferType);
    return true;
}

void TIdFTP::openControlConnection() {
    control_.Host = Host;
    control_.Port = Port;
    control_.ConnectTimeout = ConnectTimeout;
    control_.ReadTimeout = ReadTimeout;
    control_.Resolver = Resolver;
    control_.ConnectionAttemptDelay = ConnectionAttemptDelay;
    control_.ShouldAbort = waitAbortCheck();
    control_.Open();
    utf8_ = false;
    greeting_ = {};
    capabilities_.clear();
}

void TIdFTP::readGreeting() {
    readReply();
    // 1xx: the server is busy and will send its 220 when it is ready.
    if (isPositivePreliminary(lastReply_.code)) readReply();
    greeting_ = lastReply_;
    checkReply({220});
}

bool TIdFTP::announceHost() {
    try {
        writeCommand(QStringLiteral("HOST ") + bracketedHost(Host));
        readReply();
    } catch (const EIdConnClosedGracefully&) {
        return false;
    } catch (const EIdSocketError& e) {
        if (e.LastError == WSAECONNABORTED || e.LastError == WSAECONNRESET) return false;
        throw;
    }
    // 421 announces the close; otherwise see whether it has already happened.
    if (lastReply_.code == 421) return false;
    return control_.DiscardInputAndCheck();
}

void TIdFTP::logIn() {
    sendCmd(QStringLiteral("USER ") + Username, {230, 232, 331});
    // No account is ever configured, so a 332 (account needed) answer to PASS is a reply error.
    if (lastReply_.code == 331) sendCmd(QStringLiteral("PASS ") + Password, {230});
    negotiateFeatures();
    sendTransferType(TransferType);
}

void TIdFTP::negotiateFeatures() {
    sendCmd(QStringLiteral("FEAT"));
    capabilities_ = ftpFeatureList(lastReply_);
    identifyClient();
    if (ftpHasFeature(capabilities_, QStringLiteral("UTF8"))) switchToUtf8();
}

void TIdFTP::identifyClient() {
    const QString name = QStringLiteral(HARVESTLINE_PRODUCT_NAME);
    const QString version = QStringLiteral(HARVESTLINE_VERSION_TEXT);
    if (ftpHasFeature(capabilities_, QStringLiteral("CSID")))
        sendCmd(QStringLiteral("CSID Name=%1; Version=%2;").arg(name, version));
    else if (ftpHasFeature(capabilities_, QStringLiteral("CLNT")))
        sendCmd(QStringLiteral("CLNT %1 %2").arg(name, version));
}

void TIdFTP::switchToUtf8() {
    sendCmd(QStringLiteral("OPTS UTF8 ON"));
    if (isPositiveCompletion(lastReply_.code)) {
        utf8_ = true;
        return;
    }
    sendCmd(QStringLiteral("OPTS UTF-8 NLST"));
    utf8_ = lastReply_.code == 200;
}

void TIdFTP::sendTransferType(TIdFTPTransferType type) {
    sendCmd(type == TIdFTPTransferType::ftBinary ? QStringLiteral("TYPE I") : QStringLiteral("TYPE A"),
            {200});
}

// ---- Queries -------------------------------------------------------------------------------

bool TIdFTP::ResumeSupported() {
    if (!resumeSupported_) {
        const bool accepted = sendCmd(QStringLiteral("REST 1")).code == 350;
        sendCmd(QStringLiteral("REST 0"));
        resumeSupported_ = accepted;
    }
    return *resumeSupported_;
}

qint64 TIdFTP::Size(const QString& path) {
    // Servers refuse SIZE in ASCII mode, where the count would depend on line-end conversion.
    const bool switchType = TransferType != TIdFTPTransferType::ftBinary;
    if (switchType) sendTransferType(TIdFTPTransferType::ftBinary);
    const qint64 size = ftpSizeFromReply(sendCmd(QStringLiteral("SIZE ") + path));
    if (switchType) sendTransferType(TransferType);
    return size;
}

QString TIdFTP::PathFromBytes(const QByteArray& bytes) const {
    if (!utf8_) return QString::fromLatin1(bytes);
    // A byte order mark is a character of the name like any other.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString path = decoder.decode(bytes);
    if (decoder.hasError())
        throw EIdException(QStringLiteral("The path is not valid UTF-8, which the server expects."));
    return path;
}

// ---- Download ------------------------------------------------------------------------------

void TIdFTP::Get(const QString& path, TStream& destination, bool resume) {
    resume = resume && ResumeSupported();
    if (ftpHasFeature(capabilities_, QStringLiteral("PRET"))) sendCmd(QStringLiteral("PRET RETR ") + path);
    const DataEndpoint endpoint = enterPassiveMode();
    aborted_ = false;
    openDataConnection(endpoint);
    int retrieveCode = 0;
    try {
        if (resume) sendCmd(QStringLiteral("REST ") + QString::number(destination.Position()), {350});
        retrieveCode = sendCmd(QStringLiteral("RETR ") + path, {125, 150, 154, 450}).code;
        if (retrieveCode < 300) receiveData(destination);
    } catch (...) {
        data_.reset();
        throw;
    }
    data_.reset();
    if (aborted_) {
        readAbortReplies();
        return;
    }
    // 450 (file busy): the server sends nothing and has nothing more to say.
    if (retrieveCode >= 300) return;
    readReply();
    checkReply({226, 225, 250});
}

TIdFTP::DataEndpoint TIdFTP::enterPassiveMode() {
    if (serverReachedOverIPv6()) {
        const QString line = sendCmd(QStringLiteral("EPSV"), {229}).text.value(0);
        const auto port = parseEpsvReply(line);
        if (!port) throw EIdFTPInvalidPassiveReply(QStringLiteral("Invalid passive mode reply: ") + line);
        // The data port is on the server the control connection reached.
        return {controlPeer(), *port};
    }
    const QString line = sendCmd(QStringLiteral("PASV"), {227}).text.value(0);
    const auto endpoint = parsePasvReply(line);
    if (!endpoint) throw EIdFTPInvalidPassiveReply(QStringLiteral("Invalid passive mode reply: ") + line);
    return {passiveDataHost(endpoint->address, controlPeer()), endpoint->port};
}

bool TIdFTP::serverReachedOverIPv6() const {
    if (!tunneled()) return control_.PeerAddress().isIPv6();
    const auto literal = IpAddress::parse(Host);
    return literal && literal->isIPv6();
}

void TIdFTP::openDataConnection(const DataEndpoint& endpoint) {
    data_ = std::make_unique<TIdIOHandlerSocket>();
    data_->Host = endpoint.host;
    data_->Port = endpoint.port;
    data_->ConnectTimeout = ConnectTimeout;
    // A tunnel's handshake is an exchange like a control reply and gets the same limit; the data
    // itself then waits as long as TransferTimeout allows (receiveData).
    data_->ReadTimeout = ReadTimeout;
    data_->Resolver = Resolver;
    data_->ConnectionAttemptDelay = ConnectionAttemptDelay;
    data_->SetTransparentProxy(control_.TransparentProxy());
    data_->ShouldAbort = waitAbortCheck();
    data_->Open();
}

std::function<bool()> TIdFTP::waitAbortCheck() {
    // Once ABOR is sent, its replies are awaited in full so that the session ends in order.
    return [this] { return !aborted_ && ShouldAbort && ShouldAbort(); };
}

bool TIdFTP::tunneled() const {
    const ConnectionTunnel* tunnel = control_.TransparentProxy();
    return tunnel && tunnel->enabled();
}

QString TIdFTP::controlPeer() const {
    // Through a tunnel the socket's peer is the tunnel's server; the FTP server is Host.
    return tunneled() ? Host : control_.PeerAddress().toString();
}

// The data connection's reads wait in slices no longer than the socket's own abort check, so a stop
// is met here, where ABOR ends the transfer in order, and not by the socket's abort.
static_assert(TIdFTP::kIdleCheckMs <= TcpSocket::kAbortCheckMs);

void TIdFTP::receiveData(TStream& destination) {
    std::vector<char> block(kDataBlockSize);
    WorkScope work(work_, wmRead, 0);
    // Every wait for data is a short slice, so that a stop request is heard while the server is
    // silent; TransferTimeout is counted over the slices.
    data_->ReadTimeout = TransferTimeout > 0 ? std::min(TransferTimeout, kIdleCheckMs) : kIdleCheckMs;
    using Clock = std::chrono::steady_clock;
    auto lastData = Clock::now();
    while (!aborted_) {
        qint64 n = 0;
        try {
            n = data_->ReadSome(block.data(), static_cast<qint64>(block.size()));
        } catch (const EIdReadTimeout&) {
            const auto silent =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastData);
            if (TransferTimeout > 0 && silent.count() >= TransferTimeout) throw;
            if (ShouldAbort && ShouldAbort()) Abort();
            continue;
        }
        if (n == 0) break;
        lastData = Clock::now();
        destination.Write(block.data(), n);
        work_.add(wmRead, n);
    }
    work.finish();
}

void TIdFTP::Abort() {
    if (!data_ || aborted_) return;
    aborted_ = true;
    if (control_.Connected()) writeCommand(QStringLiteral("ABOR"));
    data_->Close();
}

void TIdFTP::readAbortReplies() {
    readReply();
    checkReply({225, 226, 250, 426, 450, 451, 425, 550, 552});
    const int first = lastReply_.code;
    // The first reply ended the transfer; the ABOR itself is answered next.
    if (lastReply_.isOneOf({226, 426, 450, 451, 425, 550})) {
        readReply();
        checkReply({226, 225});
    }
    if (first == 226 && control_.WaitForInput(kLateAbortReplyWaitMs)) {
        readReply();
        checkReply({226, 426, 450, 451, 425, 550});
    }
}

// ---- Session end ---------------------------------------------------------------------------

void TIdFTP::Disconnect() {
    data_.reset();
    if (control_.Connected()) {
        try {
            writeCommand(QStringLiteral("QUIT"));
            if (control_.WaitForInput(kQuitReplyWaitMs)) {
                control_.ReadTimeout = kQuitReplyWaitMs;
                readReply();
            }
        } catch (const Exception&) {
            // Saying goodbye is a courtesy; the connection closes below either way.
        }
    }
    control_.Close();
}

// ---- Commands and replies ------------------------------------------------------------------

const FtpReply& TIdFTP::sendCmd(const QString& command, std::initializer_list<int> accepted) {
    writeCommand(command);
    readReply();
    checkReply(accepted);
    return lastReply_;
}

void TIdFTP::writeCommand(const QString& command) {
    // A line break inside a path would smuggle a second command onto the control connection; a
    // NUL ends the command early on servers written in C.
    if (command.contains(QLatin1Char('\r')) || command.contains(QLatin1Char('\n')))
        throw EIdException(QStringLiteral("Line break in an FTP command."));
    if (command.contains(QChar(0))) throw EIdException(QStringLiteral("NUL character in an FTP command."));
    control_.Write((utf8_ ? command.toUtf8() : command.toLatin1()) + "\r\n");
}

const FtpReply& TIdFTP::readReply() {
    FtpReplyParser parser;
    for (;;) {
        const QByteArray line = control_.ReadLn();
        if (parser.addLine(utf8_ ? QString::fromUtf8(line) : QString::fromLatin1(line))) break;
    }
    lastReply_ = parser.reply();
    return lastReply_;
}

void TIdFTP::checkReply(std::initializer_list<int> accepted) {
    const bool listed = lastReply_.isOneOf(accepted);
    if (lastReply_.code == 421 && !listed) {
        control_.Close();
        throw EIdFTPServiceNotAvailable(ftpReplyErrorText(lastReply_));
    }
    if (accepted.size() > 0 && !listed) throw EIdReplyRFCError(ftpReplyErrorText(lastReply_));
}

} // namespace hl
