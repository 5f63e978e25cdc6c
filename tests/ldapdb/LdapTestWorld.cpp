// The shared LDAP test world.
#include "LdapTestWorld.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

namespace ldaptest {
namespace {

void* Sym(void* handle, const char* name) {
  void* p = dlsym(handle, name);
  if (p == nullptr) {
    fprintf(stderr, "missing %s in the plug-in\n", name);
    abort();
  }
  return p;
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
    ASSERT_TRUE(world->server.Start(kSuffix));
    world->console.reset(new ConsoleTestTree());
    ConsoleTestTree& tree = *world->console;

    // The console's conversion, run by the test directory's administrator
    // before there is anybody in LDAP: uid, name, department, mail, phone,
    // title and manager columns, existing uids.
    std::string cookies = tree.LogIn().CookieHeader();
    const char* const tags[] = {"uid", "cn", "ou", "mail", "telephonenumber", "title",
                                "manager"};
    // The source must lie in the temporary folder, where uploads land.
    std::string source = tree.top() + "/logs/people.csv";
    ConsoleTestTree::WriteFile(source,
                               ConsoleTestTree::ReadFile(TEST_DATA_DIR "/ldapdb/people.csv"));
    std::string query = std::string("program=importdata&sub_program=genVersitFile") +
                        "&filePath=" + source +
                        "&delimiter=,&toFormat=toLDAP&whichUid=EXISTING&versittags=7";
    for (int i = 0; i < 7; ++i) query += "&versittag_" + std::to_string(i) + "=" + tags[i];
    world->conversionPage = tree.Run("GET", query, {{"HTTP_COOKIE", cookies}}).body;
    std::string ldif = ConsoleTestTree::ReadFile(tree.top() + "/logs/tempdata.vcf");
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

const Plugin& ThePlugin() {
  static Plugin plugin = [] {
    void* handle = dlopen(KVLDAPDB_PLUGIN, RTLD_LAZY);
    if (handle == nullptr) {
      fprintf(stderr, "%s\n", dlerror());
      abort();
    }
    Plugin p;
    p.createUser = reinterpret_cast<KvCreateImpUserDBFn>(Sym(handle, "KvCreateImpUserDB"));
    p.destroyUser = reinterpret_cast<KvDestroyImpUserDBFn>(Sym(handle, "KvDestroyImpUserDB"));
    p.createGroup = reinterpret_cast<KvCreateImpGroupDBFn>(Sym(handle, "KvCreateImpGroupDB"));
    p.destroyGroup =
        reinterpret_cast<KvDestroyImpGroupDBFn>(Sym(handle, "KvDestroyImpGroupDB"));
    p.openWith = reinterpret_cast<KvLdapDBOpenWithFn>(Sym(handle, KV_LDAPDB_OPEN_WITH));
    p.groupOpenWith =
        reinterpret_cast<KvLdapDBGroupOpenWithFn>(Sym(handle, KV_LDAPDB_GROUP_OPEN_WITH));
    p.setPassword =
        reinterpret_cast<KvLdapDBSetPasswordFn>(Sym(handle, KV_LDAPDB_SET_PASSWORD));
    return p;
  }();
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
  std::unique_ptr<char, decltype(&free)> scrambled(KvCrypt().Encrypt(Slapd::kRootPasswd),
                                                   &free);
  return {{"empDirDBFormat", "KV_LDAP"},
          {"ldapServerName", "127.0.0.1"},
          {"ldapServerPort", std::to_string(port)},
          {"rootDN", std::string("cn=admin,") + kSuffix},
          {"rootPasswd", scrambled.get()},
          {"ldapSearchBase", kSuffix}};
}

}  // namespace ldaptest
