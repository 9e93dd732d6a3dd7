// The MOF grammar: statements, qualifier lists, class features, instance bodies and values.
// Declarations go into the session's repository as soon as each one is complete, so a later
// statement can use what an earlier one declared.
#ifndef CIMHOST_MofParser_h
#define CIMHOST_MofParser_h

#include <string>
#include <vector>

#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMMethod.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMQualifier.h>

#include "MofLexer.h"
#include "MofLiteral.h"
#include "MofSession.h"

namespace cimhost
{

class MofParser
{
public:
    MofParser(MofSession& session, MofLexer& lexer, const Pegasus::CIMNamespaceName& nameSpace);

    // Parses to the end of the text. Throws MofError.
    void parse();

private:
    struct Qualifier
    {
        std::string name;
        int line = 0;
        bool hasValue = false;
        MofLiteral value;
        std::vector<std::string> flavors;
    };
    using QualifierList = std::vector<Qualifier>;

    void parseStatement();
    void parsePragma();
    void parseQualifierDeclaration();
    void parseClass(const QualifierList& qualifiers, int line);
    void parseFeature(Pegasus::CIMClass& cimClass, bool association);
    void parseMethod(Pegasus::CIMClass& cimClass, const QualifierList& qualifiers, const MofToken& nameToken,
                     Pegasus::CIMType type);
    void parseParameter(Pegasus::CIMMethod& method, const Pegasus::CIMName& className);
    void parseInstance(int line);

    QualifierList parseQualifierList();
    Qualifier parseQualifier();
    MofLiteral parseInitializer();
    MofLiteral parseConstant();
    // "[]" or "[n]" after a name; returns whether there was one and sets the fixed size.
    bool parseArraySuffix(Pegasus::Uint32& arraySize);

    Pegasus::CIMQualifier makeQualifier(const Qualifier& parsed);
    template <class Target> void attachQualifiers(Target& target, const QualifierList& qualifiers);
    Pegasus::CIMValue typedValue(const MofLiteral& literal, Pegasus::CIMType type, bool isArray,
                                 const std::string& subject);
    Pegasus::CIMName referencedClass(const MofToken& token, const Pegasus::CIMName& declaringClass,
                                     const std::string& subject);

    Pegasus::CIMName expectName(const std::string& what);
    Pegasus::CIMName toName(const MofToken& token, const std::string& what);
    bool isPunct(char c, std::size_t ahead = 0);
    bool acceptPunct(char c);
    void expectPunct(char c, const std::string& context);
    bool isKeyword(const char* word, std::size_t ahead = 0);
    MofToken take();
    std::string describeNext();
    [[noreturn]] void fail(int line, const std::string& message) const;

    MofSession& _session;
    MofLexer& _lexer;
    Pegasus::CIMNamespaceName _nameSpace;
    int _lastLine = 1;
};

} // namespace cimhost

#endif
