// The shared LDAP test world: slapd with a slapd.conf of its own, started in
// the foreground (-d 0) as a child process, filled through the console.
#include "LdapTestWorld.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>

#include <fstream>

namespace ldaptest {
namespace {

// The port bound to a fresh loopback socket (0 for any free one), or 0;
// with connect, whether something listens on port.
int Loopback(int port, bool connect) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  auto* any = reinterpret_cast<sockaddr*>(&addr);
  int result = 0;
  if (connect) {
    result = ::connect(fd, any, sizeof addr) == 0;
  } else if (bind(fd, any, sizeof addr) == 0 && getsockname(fd, any, &len) == 0) {
    result = ntohs(addr.sin_port);
  }
  close(fd);
  return result;
}

const char kGroups[] =
    "dn: ou=groups,o=Kavri,c=US\nobjectClass: organizationalUnit\nou: groups\n\n"
    "dn: cn=g-eng,ou=groups,o=Kavri,c=US\nobjectClass: groupOfNames\ncn: g-eng\n"
    "description: Engineering\nmember: cn=Zoe Adams,ou=Engineering,o=Kavri,c=US\n"
    "member: cn=Lena Schmidt,ou=Engineering,o=Kavri,c=US\n\n"
    "dn: cn=g-all,ou=groups,o=Kavri,c=US\nobjectClass: groupOfNames\ncn: g-all\n"
    "member: cn=Mark Brown,ou=Sales,o=Kavri,c=US\n";

World* world = nullptr;

class Environment : public ::testing::Environment {
 public:
  void SetUp() override {
    world = new World();
    ASSERT_TRUE(world->server.Start());
    world->console.reset(new ConsoleTestTree());
    ConsoleTestTree& tree = *world->console;

    // The console's conversion, run by the test directory's administrator
    // before there is anybody in LDAP: uid, name, department, mail, phone,
    // title and manager columns, existing uids. The source must lie in the
    // temporary folder, where uploads land.
    std::string cookies = tree.LogIn().CookieHeader();
    const char* const tags[] = {"uid", "cn", "ou", "mail", "telephonenumber", "title",
                                "manager"};
    std::string source = tree.top() + "/logs/people.csv";
    WriteAll(source, ReadAll(TEST_DATA_DIR "/ldapdb/people.csv"));
    std::string query = "program=importdata&sub_program=genVersitFile&filePath=" + source +
                        "&delimiter=,&toFormat=toLDAP&whichUid=EXISTING&versittags=7";
    for (int i = 0; i < 7; ++i) query += "&versittag_" + std::to_string(i) + "=" + tags[i];
    world->conversionPage = tree.Run("GET", query, {{"HTTP_COOKIE", cookies}}).body;
    std::string ldif = ReadAll(tree.top() + "/logs/tempdata.vcf");
    ASSERT_NE(ldif.find("uid: mbrown"), std::string::npos) << world->conversionPage;
    std::string out;
    ASSERT_EQ(world->server.Tool("ldapadd", ldif, "", &out), 0) << out << ldif;
    ASSERT_EQ(world->server.Tool("ldapadd", kGroups, "", &out), 0) << out;

    // From now on the console runs on the LDAP back end.
    std::string lib = tree.top() + "/lib/kvldapdblib_cgi.so";
    ASSERT_EQ(unlink(lib.c_str()), 0);
    ASSERT_EQ(symlink(KVLDAPDB_PLUGIN, lib.c_str()), 0);
    tree.SetConfig(LdapConfig(world->server.port()));
  }
  void TearDown() override {
    delete world;
    world = nullptr;
  }
};

::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new Environment());

}  // namespace

int FreePort() { return Loopback(0, false); }

bool Slapd::Start() {
  if (!dir_.Make("/tmp/slapd-test-", {"db"})) return false;
  std::ofstream conf(dir_.Path("slapd.conf"));
  for (const char* schema : {"core", "cosine", "inetorgperson"})
    conf << "include " << LDAP_SCHEMA_DIR << "/" << schema << ".schema\n";
  conf << "modulepath " << LDAP_MODULE_DIR << "\nmoduleload back_mdb\n"
       << "pidfile " << dir_.Path("slapd.pid") << "\nargsfile " << dir_.Path("slapd.args")
       << "\ndatabase mdb\nmaxsize 16777216\nsuffix \"" << kSuffix << "\"\nrootdn \""
       << rootDN() << "\"\nrootpw " << kRootPasswd << "\ndirectory " << dir_.Path("db")
       << "\nindex objectClass eq\nindex uid,cn,manager,member eq\n";
  conf.close();

  port_ = FreePort();
  uri_ = "ldap://127.0.0.1:" + std::to_string(port_) + "/";
  std::string log = dir_.Path("slapd.log");
  fflush(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    // A test program that crashes takes its server with it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (freopen(log.c_str(), "w", stderr) == nullptr) _exit(126);
    dup2(2, 1);
    execl(SLAPD_PROGRAM, SLAPD_PROGRAM, "-f", dir_.Path("slapd.conf").c_str(), "-h",
          uri_.c_str(), "-d", "0", static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 500; ++i) {
    if (Loopback(port_, true)) return true;
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    usleep(20000);
  }
  fprintf(stderr, "slapd did not start:\n%s\n", ReadAll(log).c_str());
  return false;
}

Slapd::~Slapd() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

int Slapd::Tool(const char* tool, const std::string& ldif, const std::string& args,
                std::string* out) const {
  static int counter = 0;
  std::string in = dir_.Path("in" + std::to_string(++counter) + ".ldif");
  std::string result = dir_.Path("out" + std::to_string(counter) + ".txt");
  WriteAll(in, ldif);
  std::string command = std::string(tool) + " -x -H " + uri_ + " -D '" + rootDN() + "' -w " +
                        kRootPasswd + " " + args + " <'" + in + "' >'" + result + "' 2>&1";
  int status = system(command.c_str());
  if (out) *out = ReadAll(result);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

const Plugin& ThePlugin() {
  static const Plugin plugin;
  return plugin;
}

World& TheWorld() { return *world; }

UserDBHolder::UserDBHolder(const Slapd& server, const std::string& top)
    : db(ThePlugin().createUser()) {
  EXPECT_EQ(ThePlugin().openWith(db, server.uri().c_str(), server.rootDN().c_str(),
                                 Slapd::kRootPasswd, kSuffix, top.c_str(), 0),
            1);
}

ConsoleTestTree::Pairs LdapConfig(int port) {
  return {{"empDirDBFormat", "KV_LDAP"},
          {"ldapServerName", "127.0.0.1"},
          {"ldapServerPort", std::to_string(port)},
          {"rootDN", std::string("cn=admin,") + kSuffix},
          {"rootPasswd", TakeText(KvCrypt().Encrypt(Slapd::kRootPasswd))},
          {"ldapSearchBase", kSuffix}};
}

}  // namespace ldaptest
