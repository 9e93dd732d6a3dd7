// HTTP Basic authentication: password records, the users file and its permissions, the
// Authorization header, and the authenticator with its cache of verified passwords. Each
// PBKDF2 run costs tens of milliseconds, so the cases hash as few passwords as they can.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "BasicAuthenticator.h"
#include "PasswordHash.h"
#include "UserFile.h"

namespace
{

using namespace cimhost;

// A well-formed record no password matches; costs nothing to make.
std::string fakeRecord(unsigned iterations = MINIMUM_PBKDF2_ITERATIONS)
{
    return formatPasswordRecord(PasswordRecord{iterations, std::string(16, 's'), std::string(32, 'h')});
}

TEST(PasswordHashTest, RoundTripsWithAFreshSaltAndRefusesWrongPasswords)
{
    const std::string record = hashPassword("correct horse", MINIMUM_PBKDF2_ITERATIONS);
    EXPECT_EQ(0u, record.rfind("pbkdf2-sha256$100000$", 0)) << record;
    EXPECT_TRUE(verifyPassword("correct horse", record));
    EXPECT_FALSE(verifyPassword("correct horsf", record));
    EXPECT_NE(record, hashPassword("correct horse", MINIMUM_PBKDF2_ITERATIONS));
    EXPECT_EQ(DEFAULT_PBKDF2_ITERATIONS, parsePasswordRecord(hashPassword("x")).iterations);
    EXPECT_THROW(hashPassword("x", MINIMUM_PBKDF2_ITERATIONS - 1), std::invalid_argument);
}

TEST(PasswordHashTest, TamperedWeakOrMalformedRecordsAreRefused)
{
    const std::string record = hashPassword("pw", MINIMUM_PBKDF2_ITERATIONS);
    PasswordRecord parsed = parsePasswordRecord(record);
    EXPECT_EQ(16u, parsed.salt.size());
    parsed.iterations = 200000; // the stored count is the one used
    EXPECT_FALSE(verifyPassword("pw", parsed));
    parsed = parsePasswordRecord(record);
    parsed.salt[0] ^= 1;
    EXPECT_FALSE(verifyPassword("pw", formatPasswordRecord(parsed)));

    const std::string salt = "c2FsdHNhbHRzYWx0c2FsdA==";                     // 16 bytes
    const std::string hash = "aGFzaGhhc2hoYXNoaGFzaGhhc2hoYXNoaGFzaGhhc2g="; // 32 bytes
    ASSERT_NO_THROW(parsePasswordRecord("pbkdf2-sha256$100000$" + salt + "$" + hash));
    for (const std::string& bad :
         {"pbkdf2-sha256$99999$" + salt + "$" + hash, "pbkdf2-sha256$4294967296$" + salt + "$" + hash,
          "pbkdf2-sha256$0100000$" + salt + "$" + hash, "pbkdf2-sha256$-100000$" + salt + "$" + hash,
          "pbkdf2-sha1$100000$" + salt + "$" + hash, "pbkdf2-sha256$100000$" + salt,
          "pbkdf2-sha256$100000$" + salt + "$" + hash + "$",
          "pbkdf2-sha256$100000$c2FsdA==$" + hash,            // 4-byte salt
          "pbkdf2-sha256$100000$" + salt + "$" + salt,        // short hash
          "pbkdf2-sha256$100000$" + salt + "$" + hash + "\r", // CRLF file
          "pbkdf2-sha256$100000$" + salt + "$ " + hash})
    {
        EXPECT_THROW(parsePasswordRecord(bad), MalformedPasswordRecord) << bad;
        EXPECT_FALSE(verifyPassword("pw", bad)) << bad;
    }
}

TEST(BasicAuthorizationTest, ParsesBasicCredentialsOnly)
{
    const auto plain = parseBasicAuthorization("Basic YWxpY2U6c2VjcmV0"); // alice:secret
    ASSERT_TRUE(plain);
    EXPECT_EQ("alice", plain->user);
    EXPECT_EQ("secret", plain->password);
    const auto colons = parseBasicAuthorization("bAsIc  Ym9iOmE6YjpjOg== "); // bob:a:b:c:
    ASSERT_TRUE(colons);
    EXPECT_EQ("bob", colons->user);
    EXPECT_EQ("a:b:c:", colons->password);

    for (const char* bad :
         {"", "Basic", "Basic ", "BasicYWxpY2U6c2VjcmV0", "Bearer YWxpY2U6c2VjcmV0",
          "Basic YWxpY2U6c2VjcmV0!", "Basic YWxpY2U6eQ", "Basic YWxpY2U6eR==", "Basic YWxp Y2U6c2VjcmV0",
          "Basic YWxpY2U=",             // alice: no ':'
          "Basic YWxpY2U6c2VjCnJldA==", // a line feed in the password
          "Digest username=\"alice\""})
        EXPECT_FALSE(parseBasicAuthorization(bad)) << bad;
}

class UserFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("cimhost-auth-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string write(const std::string& name, const std::string& text)
    {
        const std::string path = (folder / name).string();
        std::ofstream(path) << text;
        ::chmod(path.c_str(), 0600);
        return path;
    }
    static std::string loadError(const std::string& path)
    {
        try
        {
            UserFile::load(path);
        }
        catch (const UserFileError& error)
        {
            return error.what();
        }
        return "no error";
    }

    std::filesystem::path folder;
};

// Adding, replacing, removing, the private mode and the refusals of the tool and of cimhost:
// integration/passwd.sh and security.sh. Here what they do not see: comments kept, no temporary
// file left, names and records the tool never passes on, a duplicate user named with its line.
TEST_F(UserFileTest, SavesInPlaceKeepingCommentsAndRefusesBadNamesRecordsAndDuplicates)
{
    const std::string path =
        write("users", "# operators\n\nalice:" + fakeRecord() + "\nbob:" + fakeRecord() + "\n");
    UserFile users = UserFile::load(path);
    EXPECT_FALSE(users.set("bob", fakeRecord(150000)));
    EXPECT_TRUE(users.remove("alice"));
    EXPECT_THROW(users.set("dave smith", fakeRecord()),
                 std::invalid_argument); // the tool checks names itself
    EXPECT_THROW(users.set("dave", "plain text"), std::invalid_argument);
    users.save(path);
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_EQ("# operators\n\nbob:" + fakeRecord(150000) + "\n", text.str());
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(folder), {})); // no temporary left

    const std::string good = "alice:" + fakeRecord() + "\n";
    EXPECT_NE(std::string::npos, loadError(write("b", good + "\n" + good)).find("b:3: duplicate user alice"));
}

TEST(BasicAuthenticatorTest, AcceptsOnlyTheRightPasswordCachedOrNot)
{
    UserFile users;
    users.set("alice", hashPassword("s3cret:x", MINIMUM_PBKDF2_ITERATIONS));
    users.set("mallory", fakeRecord());
    BasicAuthenticator authenticator(users);

    EXPECT_FALSE(authenticator.verify("alice", "s3cret"));
    EXPECT_FALSE(authenticator.verify("alice", "s3cret")); // a refused password is not remembered
    EXPECT_TRUE(authenticator.verify("alice", "s3cret:x"));
    EXPECT_TRUE(authenticator.verify("alice", "s3cret:x")); // from the cache
    EXPECT_FALSE(authenticator.verify("alice", "s3cret:y"));
    EXPECT_FALSE(authenticator.verify("alice", ""));
    EXPECT_FALSE(authenticator.verify("bob", "s3cret:x")); // another user's password, unknown user
    EXPECT_FALSE(authenticator.verify("mallory", "s3cret:x"));

    // Workers verify at once: right passwords through the cache, wrong ones through PBKDF2.
    std::atomic<int> wrongAnswers{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back(
            [&, t]
            {
                for (int i = 0; i < 50; ++i)
                    if (!authenticator.verify("alice", "s3cret:x")) ++wrongAnswers;
                if (authenticator.verify("alice", "wrong" + std::to_string(t))) ++wrongAnswers;
            });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(0, wrongAnswers.load());
}

} // namespace
