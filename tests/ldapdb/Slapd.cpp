// The test slapd: a slapd.conf of its own, started in the foreground
// (-d 0) as a child process.
#include "Slapd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ldaptest {
namespace {

bool Answers(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return ok;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

int FreePort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
    port = ntohs(addr.sin_port);
  }
  close(fd);
  return port;
}

bool Slapd::Start(const std::string& suffix, const std::string& providerUri) {
  char pattern[] = "/tmp/slapd-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return false;
  dir_ = pattern;
  suffix_ = suffix;
  std::string db = dir_ + "/db";
  if (system(("mkdir -p '" + db + "'").c_str()) != 0) return false;

  std::ofstream conf(dir_ + "/slapd.conf");
  for (const char* schema : {"core", "cosine", "inetorgperson"})
    conf << "include " << LDAP_SCHEMA_DIR << "/" << schema << ".schema\n";
  conf << "modulepath " << LDAP_MODULE_DIR << "\n"
       << "moduleload back_mdb\nmoduleload syncprov\n"
       << "pidfile " << dir_ << "/slapd.pid\nargsfile " << dir_ << "/slapd.args\n"
       << "database mdb\nmaxsize 16777216\n"
       << "suffix \"" << suffix << "\"\nrootdn \"" << rootDN() << "\"\n"
       << "rootpw " << kRootPasswd << "\ndirectory " << db << "\n"
       << "index objectClass,entryCSN,entryUUID eq\nindex uid,cn,manager,member eq\n";
  if (providerUri.empty()) {
    conf << "overlay syncprov\nsyncprov-checkpoint 10 1\n";
  } else {
    conf << "syncrepl rid=001 provider=" << providerUri
         << " type=refreshAndPersist searchbase=\"" << suffix
         << "\" bindmethod=simple binddn=\"" << rootDN() << "\" credentials="
         << kRootPasswd << " retry=\"1 +\"\n";
  }
  conf.close();

  port_ = FreePort();
  uri_ = "ldap://127.0.0.1:" + std::to_string(port_) + "/";
  std::string log = dir_ + "/slapd.log";
  pid_ = fork();
  if (pid_ == 0) {
    // A test program that crashes takes its server with it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    FILE* out = freopen(log.c_str(), "w", stderr);
    if (out == nullptr) _exit(126);
    dup2(2, 1);
    execl(SLAPD_PROGRAM, SLAPD_PROGRAM, "-f", (dir_ + "/slapd.conf").c_str(), "-h",
          uri_.c_str(), "-d", "0", static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 500; ++i) {
    if (Answers(port_)) return true;
    int status;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    usleep(20000);
  }
  fprintf(stderr, "slapd did not start:\n%s\n", Slurp(log).c_str());
  Stop();
  return false;
}

Slapd::~Slapd() {
  Stop();
  if (!dir_.empty() && system(("rm -rf '" + dir_ + "'").c_str()) != 0) {
    fprintf(stderr, "cannot remove %s\n", dir_.c_str());
  }
}

void Slapd::Stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
}

int Slapd::Tool(const char* tool, const std::string& ldif, const std::string& args,
                std::string* out) const {
  static int counter = 0;
  std::string in = dir_ + "/in" + std::to_string(++counter) + ".ldif";
  std::string result = dir_ + "/out" + std::to_string(counter) + ".txt";
  std::ofstream(in) << ldif;
  std::string command = std::string(tool) + " -x -H " + uri_ + " -D '" + rootDN() +
                        "' -w " + kRootPasswd + " " + args + " <'" + in + "' >'" + result +
                        "' 2>&1";
  int status = system(command.c_str());
  if (out) *out = Slurp(result);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

}  // namespace ldaptest
