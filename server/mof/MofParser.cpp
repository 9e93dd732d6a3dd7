#include "MofParser.h"

#include <filesystem>

#include <Pegasus/Common/Exception.h>

#include "MofError.h"
#include "NameKey.h"

namespace cimhost
{

using Pegasus::CIMName;
using Pegasus::CIMType;
using Pegasus::CIMValue;
using Pegasus::Uint32;

namespace
{

bool sameWord(const std::string& text, const char* word)
{
    return nameKey(Pegasus::String(text.c_str())) == word;
}

std::string quoted(const CIMName& name)
{
    return "'" + utf8(name.getString()) + "'";
}

} // namespace

MofParser::MofParser(MofSession& session, MofLexer& lexer, const Pegasus::CIMNamespaceName& nameSpace)
    : _session(session), _lexer(lexer), _nameSpace(nameSpace)
{
}

// ---- token helpers

MofToken MofParser::take()
{
    MofToken token = _lexer.next();
    if (token.kind != MofTokenKind::End) _lastLine = token.line;
    return token;
}

void MofParser::fail(int line, const std::string& message) const
{
    throw MofError(_lexer.fileName(), line, message);
}

std::string MofParser::describeNext()
{
    const MofToken& token = _lexer.peek();
    switch (token.kind)
    {
    case MofTokenKind::End:
        return "end of file";
    case MofTokenKind::String:
        return "a string";
    case MofTokenKind::Char16:
        return "a char16 value";
    default:
        return "'" + token.text + "'";
    }
}

bool MofParser::isPunct(char c, std::size_t ahead)
{
    const MofToken& token = _lexer.peek(ahead);
    return token.kind == MofTokenKind::Punct && token.text[0] == c;
}

bool MofParser::acceptPunct(char c)
{
    if (!isPunct(c)) return false;
    take();
    return true;
}

// A missing token belongs where the previous one ended, so that line is reported.
void MofParser::expectPunct(char c, const std::string& context)
{
    if (acceptPunct(c)) return;
    fail(_lastLine, std::string("expected '") + c + "' " + context + ", found " + describeNext());
}

bool MofParser::isKeyword(const char* word, std::size_t ahead)
{
    const MofToken& token = _lexer.peek(ahead);
    return token.kind == MofTokenKind::Identifier && sameWord(token.text, word);
}

CIMName MofParser::toName(const MofToken& token, const std::string& what)
{
    try
    {
        Pegasus::String text(token.text.c_str());
        if (CIMName::legal(text)) return CIMName(text);
    }
    catch (const Pegasus::Exception&)
    {
    }
    fail(token.line, "invalid " + what + " '" + token.text + "'");
}

CIMName MofParser::expectName(const std::string& what)
{
    if (_lexer.peek().kind != MofTokenKind::Identifier)
        fail(_lexer.peek().line, "expected " + what + ", found " + describeNext());
    return toName(take(), what);
}

// ---- statements

void MofParser::parse()
{
    while (_lexer.peek().kind != MofTokenKind::End)
    {
        const int line = _lexer.peek().line;
        try
        {
            parseStatement();
        }
        catch (const Pegasus::Exception& e)
        {
            // The object model refused something the checks above let through.
            fail(line, utf8(e.getMessage()));
        }
    }
}

void MofParser::parseStatement()
{
    if (_lexer.peek().kind == MofTokenKind::Pragma)
    {
        parsePragma();
        return;
    }
    const int line = _lexer.peek().line;
    QualifierList qualifiers = parseQualifierList();
    if (isKeyword("class"))
    {
        take();
        parseClass(qualifiers, line);
    }
    else if (isKeyword("instance"))
    {
        take();
        parseInstance(line);
    }
    else if (qualifiers.empty() && isKeyword("qualifier"))
    {
        take();
        parseQualifierDeclaration();
    }
    else
        fail(_lexer.peek().line,
             "expected a class, instance or qualifier declaration or #pragma, found " + describeNext());
}

void MofParser::parsePragma()
{
    take(); // #pragma
    const MofToken nameToken = _lexer.peek();
    if (nameToken.kind != MofTokenKind::Identifier)
        fail(nameToken.line, "expected a pragma name after #pragma, found " + describeNext());
    take();
    expectPunct('(', "after #pragma " + nameToken.text);
    std::vector<MofLiteral> arguments;
    if (!isPunct(')'))
    {
        do
            arguments.push_back(parseConstant());
        while (acceptPunct(','));
    }
    expectPunct(')', "after the #pragma " + nameToken.text + " arguments");

    const bool include = sameWord(nameToken.text, "include");
    const bool nameSpace = sameWord(nameToken.text, "namespace");
    if (!include && !nameSpace) return; // locale and the like change nothing here

    // "#pragma namespace("__set", "ns")" is the long form of "#pragma namespace("ns")".
    if (nameSpace && arguments.size() == 2 && arguments[0].kind == MofLiteral::Kind::String &&
        sameWord(utf8(arguments[0].text), "__set"))
        arguments.erase(arguments.begin());
    if (arguments.size() != 1 || arguments[0].kind != MofLiteral::Kind::String)
        fail(nameToken.line, "#pragma " + nameToken.text + " takes one string argument");
    const std::string argument = utf8(arguments[0].text);

    if (nameSpace)
    {
        try
        {
            _nameSpace = Pegasus::CIMNamespaceName(arguments[0].text);
            return;
        }
        catch (const Pegasus::Exception&)
        {
            fail(nameToken.line, "invalid namespace name '" + argument + "'");
        }
    }
    std::filesystem::path target(argument);
    if (target.is_relative()) target = std::filesystem::path(_lexer.fileName()).parent_path() / target;
    compileMofFile(_session, target.string(), _nameSpace, _lexer.fileName(), nameToken.line);
}

void MofParser::parseQualifierDeclaration()
{
    MofQualifierDecl decl;
    decl.name = expectName("a qualifier name");
    const std::string subject = "qualifier " + quoted(decl.name);
    expectPunct(':', "after the qualifier name");
    const MofToken typeToken = _lexer.peek();
    if (typeToken.kind != MofTokenKind::Identifier || !cimTypeFromMof(typeToken.text, decl.type))
        fail(typeToken.line, "expected the data type of " + subject + ", found " + describeNext());
    take();
    Uint32 arraySize = 0;
    decl.isArray = parseArraySuffix(arraySize);
    if (acceptPunct('='))
        decl.defaultValue = typedValue(parseInitializer(), decl.type, decl.isArray, subject);
    else
        decl.defaultValue = CIMValue(decl.type, decl.isArray);

    expectPunct(',', "before Scope in the declaration of " + subject);
    if (!isKeyword("scope")) fail(_lexer.peek().line, "expected Scope(...), found " + describeNext());
    take();
    expectPunct('(', "after Scope");
    static const char* const scopes[] = {"class",     "association", "indication", "qualifier", "property",
                                         "reference", "method",      "parameter",  "any"};
    do
    {
        const MofToken scope = _lexer.peek();
        bool known = false;
        for (const char* word : scopes)
            known = known || (scope.kind == MofTokenKind::Identifier && sameWord(scope.text, word));
        if (!known)
            fail(scope.line, "expected a scope (class, property, method, ...), found " + describeNext());
        take();
    } while (acceptPunct(','));
    expectPunct(')', "after the scopes");

    decl.flavor = Pegasus::CIMFlavor::ENABLEOVERRIDE + Pegasus::CIMFlavor::TOSUBCLASS;
    if (acceptPunct(','))
    {
        if (!isKeyword("flavor")) fail(_lexer.peek().line, "expected Flavor(...), found " + describeNext());
        take();
        expectPunct('(', "after Flavor");
        do
        {
            const MofToken flavor = _lexer.peek();
            if (flavor.kind != MofTokenKind::Identifier || !applyFlavorKeyword(flavor.text, decl.flavor))
                fail(flavor.line, "expected a flavor, found " + describeNext());
            take();
        } while (acceptPunct(','));
        expectPunct(')', "after the flavors");
    }
    expectPunct(';', "after qualifier declaration");
    _session.qualifiersOf(_nameSpace).declare(decl);
}

void MofParser::parseClass(const QualifierList& qualifiers, int line)
{
    ClassRepository& repository = _session.repository;
    const int nameLine = _lexer.peek().line;
    const CIMName className = expectName("a class name");
    if (!repository.declaredClass(_nameSpace, className).isUninitialized())
        fail(nameLine, "class " + quoted(className) + " is already declared");

    CIMName superName;
    bool inheritedAssociation = false;
    if (acceptPunct(':'))
    {
        const int superLine = _lexer.peek().line;
        superName = expectName("a superclass name");
        Pegasus::CIMClass superClass = repository.resolvedClass(_nameSpace, superName);
        if (superClass.isUninitialized()) fail(superLine, "unknown superclass " + quoted(superName));
        superName = superClass.getClassName();
        inheritedAssociation = superClass.isAssociation();
    }

    Pegasus::CIMClass cimClass(className, superName);
    attachQualifiers(cimClass, qualifiers);
    const bool association = inheritedAssociation || cimClass.isAssociation();
    expectPunct('{', "to open the body of class " + quoted(className));
    while (!acceptPunct('}'))
    {
        if (_lexer.peek().kind == MofTokenKind::End)
            fail(_lastLine, "expected '}' to close class " + quoted(className) + ", found end of file");
        parseFeature(cimClass, association);
    }
    expectPunct(';', "after class declaration");
    try
    {
        repository.addClass(_nameSpace, cimClass);
    }
    catch (const RepositoryError& e)
    {
        fail(line, e.what());
    }
}

void MofParser::parseFeature(Pegasus::CIMClass& cimClass, bool association)
{
    const QualifierList qualifiers = parseQualifierList();
    const MofToken first = _lexer.peek();
    if (first.kind != MofTokenKind::Identifier)
        fail(first.line, "expected a property, reference or method declaration, found " + describeNext());
    take();

    if (isKeyword("ref"))
    {
        take();
        const int nameLine = _lexer.peek().line;
        const CIMName name = expectName("a reference name");
        const std::string subject = "reference " + quoted(name);
        const CIMName target = referencedClass(first, cimClass.getClassName(), subject);
        if (!association)
            fail(nameLine, subject + " is declared in class " + quoted(cimClass.getClassName()) +
                               ", which is not an association");
        if (isPunct('[')) fail(nameLine, subject + ": reference properties cannot be arrays");
        CIMValue value(Pegasus::CIMTYPE_REFERENCE, false);
        if (acceptPunct('='))
            value = typedValue(parseInitializer(), Pegasus::CIMTYPE_REFERENCE, false, subject);
        expectPunct(';', "after reference declaration");
        if (cimClass.findProperty(name) != PEG_NOT_FOUND)
            fail(nameLine, "property " + quoted(name) + " is declared twice in class " +
                               quoted(cimClass.getClassName()));
        Pegasus::CIMProperty property(name, value, 0, target);
        attachQualifiers(property, qualifiers);
        cimClass.addProperty(property);
        return;
    }

    CIMType type;
    if (!cimTypeFromMof(first.text, type))
        fail(first.line,
             "unknown data type '" + first.text + "' (a reference needs REF after the class name)");
    const MofToken nameToken = _lexer.peek();
    const CIMName name = expectName("a property or method name");
    if (isPunct('('))
    {
        parseMethod(cimClass, qualifiers, nameToken, type);
        return;
    }
    const std::string subject = "property " + quoted(name);
    Uint32 arraySize = 0;
    const bool isArray = parseArraySuffix(arraySize);
    CIMValue value(type, isArray, arraySize);
    if (acceptPunct('='))
    {
        const MofLiteral literal = parseInitializer();
        value = typedValue(literal, type, isArray, subject);
        if (arraySize != 0 && !value.isNull() && value.getArraySize() != arraySize)
            fail(literal.line, subject + " has " + std::to_string(value.getArraySize()) +
                                   " default elements but is declared with " + std::to_string(arraySize));
    }
    expectPunct(';', "after property declaration");
    if (cimClass.findProperty(name) != PEG_NOT_FOUND)
        fail(nameToken.line, subject + " is declared twice in class " + quoted(cimClass.getClassName()));
    Pegasus::CIMProperty property(name, value, arraySize);
    attachQualifiers(property, qualifiers);
    cimClass.addProperty(property);
}

void MofParser::parseMethod(Pegasus::CIMClass& cimClass, const QualifierList& qualifiers,
                            const MofToken& nameToken, CIMType type)
{
    const CIMName name = toName(nameToken, "method name");
    take(); // (
    Pegasus::CIMMethod method(name, type);
    if (!acceptPunct(')'))
    {
        do
            parseParameter(method, cimClass.getClassName());
        while (acceptPunct(','));
        expectPunct(')', "after the parameters of method " + quoted(name));
    }
    expectPunct(';', "after method declaration");
    if (cimClass.findMethod(name) != PEG_NOT_FOUND)
        fail(nameToken.line,
             "method " + quoted(name) + " is declared twice in class " + quoted(cimClass.getClassName()));
    attachQualifiers(method, qualifiers);
    cimClass.addMethod(method);
}

void MofParser::parseParameter(Pegasus::CIMMethod& method, const CIMName& className)
{
    const QualifierList qualifiers = parseQualifierList();
    const MofToken first = _lexer.peek();
    if (first.kind != MofTokenKind::Identifier)
        fail(first.line, "expected a parameter declaration, found " + describeNext());
    take();

    CIMType type = Pegasus::CIMTYPE_REFERENCE;
    const bool reference = isKeyword("ref");
    if (reference)
        take();
    else if (!cimTypeFromMof(first.text, type))
        fail(first.line,
             "unknown data type '" + first.text + "' (a reference needs REF after the class name)");
    const int nameLine = _lexer.peek().line;
    const CIMName name = expectName("a parameter name");
    const std::string subject = "parameter " + quoted(name);
    const CIMName target = reference ? referencedClass(first, className, subject) : CIMName();
    Uint32 arraySize = 0;
    const bool isArray = parseArraySuffix(arraySize);
    // A default is checked against the type; parameters carry no default in the object model.
    if (acceptPunct('=')) typedValue(parseInitializer(), type, isArray, subject);
    if (method.findParameter(name) != PEG_NOT_FOUND)
        fail(nameLine, subject + " is declared twice in method " + quoted(method.getName()));
    Pegasus::CIMParameter parameter(name, type, isArray, arraySize, target);
    attachQualifiers(parameter, qualifiers);
    method.addParameter(parameter);
}

void MofParser::parseInstance(int line)
{
    if (!isKeyword("of")) fail(_lastLine, "expected 'of' after 'instance', found " + describeNext());
    take();
    const int classLine = _lexer.peek().line;
    const CIMName requested = expectName("a class name");
    const Pegasus::CIMClass cimClass = _session.repository.resolvedClass(_nameSpace, requested);
    if (cimClass.isUninitialized()) fail(classLine, "unknown class " + quoted(requested) + " for instance");
    const CIMName className = cimClass.getClassName();
    if (isKeyword("as") || isPunct('$')) fail(_lexer.peek().line, "instance aliases are not supported");
    expectPunct('{', "after 'instance of " + utf8(className.getString()) + "'");

    Pegasus::CIMInstance instance(className);
    while (!acceptPunct('}'))
    {
        if (_lexer.peek().kind == MofTokenKind::End)
            fail(_lastLine,
                 "expected '}' to close the instance of " + quoted(className) + ", found end of file");
        parseQualifierList(); // instance-level qualifiers change nothing the host serves
        const int nameLine = _lexer.peek().line;
        const CIMName name = expectName("a property name");
        const Uint32 index = cimClass.findProperty(name);
        if (index == PEG_NOT_FOUND)
            fail(nameLine, "class " + quoted(className) + " has no property " + quoted(name));
        const Pegasus::CIMConstProperty declared = cimClass.getProperty(index);
        const std::string subject = "property " + quoted(declared.getName());
        expectPunct('=', "after " + subject);
        const MofLiteral literal = parseInitializer();
        const CIMValue value = typedValue(literal, declared.getType(), declared.isArray(), subject);
        const Uint32 arraySize = declared.getArraySize();
        if (arraySize != 0 && !value.isNull() && value.getArraySize() != arraySize)
            fail(literal.line, subject + " holds " + std::to_string(arraySize) + " elements, not " +
                                   std::to_string(value.getArraySize()));
        expectPunct(';', "after the value of " + subject);
        if (instance.findProperty(name) != PEG_NOT_FOUND) fail(nameLine, subject + " is given twice");
        instance.addProperty(
            Pegasus::CIMProperty(declared.getName(), value, arraySize, declared.getReferenceClassName()));
    }
    expectPunct(';', "after instance declaration");
    try
    {
        _session.repository.addInstance(_nameSpace, instance);
    }
    catch (const RepositoryError& e)
    {
        fail(line, e.what());
    }
}

// ---- qualifiers

MofParser::QualifierList MofParser::parseQualifierList()
{
    QualifierList qualifiers;
    if (!acceptPunct('[')) return qualifiers;
    do
        qualifiers.push_back(parseQualifier());
    while (acceptPunct(','));
    expectPunct(']', "after qualifier list");
    return qualifiers;
}

MofParser::Qualifier MofParser::parseQualifier()
{
    Qualifier qualifier;
    const MofToken nameToken = _lexer.peek();
    if (nameToken.kind != MofTokenKind::Identifier)
        fail(nameToken.line, "expected a qualifier name, found " + describeNext());
    take();
    qualifier.name = nameToken.text;
    qualifier.line = nameToken.line;
    if (acceptPunct('('))
    {
        qualifier.hasValue = true;
        qualifier.value = parseInitializer();
        expectPunct(')', "after the value of qualifier '" + qualifier.name + "'");
    }
    else if (isPunct('{'))
    {
        qualifier.hasValue = true;
        qualifier.value = parseInitializer();
    }
    if (acceptPunct(':'))
    {
        do
        {
            const MofToken flavor = _lexer.peek();
            if (flavor.kind != MofTokenKind::Identifier)
                fail(flavor.line, "expected a flavor after ':', found " + describeNext());
            take();
            qualifier.flavors.push_back(flavor.text);
        } while (_lexer.peek().kind == MofTokenKind::Identifier);
    }
    return qualifier;
}

CIMValue MofParser::typedValue(const MofLiteral& literal, CIMType type, bool isArray,
                               const std::string& subject)
{
    try
    {
        return toCIMValue(literal, type, isArray);
    }
    catch (const MofValueError& e)
    {
        fail(literal.line, subject + ": " + e.what());
    }
}

Pegasus::CIMQualifier MofParser::makeQualifier(const Qualifier& parsed)
{
    MofToken nameToken;
    nameToken.text = parsed.name;
    nameToken.line = parsed.line;
    CIMName name = toName(nameToken, "qualifier name");
    const std::string subject = "qualifier " + quoted(name);

    const MofQualifierDecl* decl = _session.qualifiersOf(_nameSpace).find(name);
    CIMValue value;
    Pegasus::CIMFlavor flavor = Pegasus::CIMFlavor::ENABLEOVERRIDE + Pegasus::CIMFlavor::TOSUBCLASS;
    if (decl != nullptr)
    {
        name = decl->name;
        flavor = decl->flavor;
        if (!parsed.hasValue)
            value = decl->type == Pegasus::CIMTYPE_BOOLEAN && !decl->isArray ? CIMValue(true)
                                                                             : decl->defaultValue;
        else if (decl->isArray && parsed.value.kind != MofLiteral::Kind::Array &&
                 parsed.value.kind != MofLiteral::Kind::Null)
        {
            // A single value where an array is declared: taken as a one-element array.
            MofLiteral array;
            array.kind = MofLiteral::Kind::Array;
            array.line = parsed.value.line;
            array.elements.push_back(parsed.value);
            value = typedValue(array, decl->type, true, subject);
        }
        else
            value = typedValue(parsed.value, decl->type, decl->isArray, subject);
    }
    else if (!parsed.hasValue)
        value = CIMValue(true);
    else
    {
        CIMType type;
        bool isArray;
        inferCIMType(parsed.value, type, isArray);
        value = typedValue(parsed.value, type, isArray, subject);
    }

    bool overrideGiven[2] = {false, false};    // EnableOverride, DisableOverride
    bool propagationGiven[2] = {false, false}; // ToSubclass, Restricted
    for (const std::string& word : parsed.flavors)
    {
        if (!applyFlavorKeyword(word, flavor)) fail(parsed.line, subject + ": unknown flavor '" + word + "'");
        overrideGiven[0] = overrideGiven[0] || sameWord(word, "enableoverride");
        overrideGiven[1] = overrideGiven[1] || sameWord(word, "disableoverride");
        propagationGiven[0] = propagationGiven[0] || sameWord(word, "tosubclass");
        propagationGiven[1] = propagationGiven[1] || sameWord(word, "restricted");
    }
    if ((overrideGiven[0] && overrideGiven[1]) || (propagationGiven[0] && propagationGiven[1]))
        fail(parsed.line, subject + ": conflicting flavors");
    return Pegasus::CIMQualifier(name, value, flavor);
}

template <class Target> void MofParser::attachQualifiers(Target& target, const QualifierList& qualifiers)
{
    for (const Qualifier& parsed : qualifiers)
    {
        Pegasus::CIMQualifier qualifier = makeQualifier(parsed);
        if (target.findQualifier(qualifier.getName()) != PEG_NOT_FOUND)
            fail(parsed.line, "qualifier " + quoted(qualifier.getName()) + " is given twice");
        target.addQualifier(qualifier);
    }
}

// ---- values

MofLiteral MofParser::parseInitializer()
{
    if (!isPunct('{')) return parseConstant();
    MofLiteral array;
    array.kind = MofLiteral::Kind::Array;
    array.line = take().line;
    if (acceptPunct('}')) return array;
    do
    {
        if (isPunct('{')) fail(_lexer.peek().line, "nested arrays are not allowed");
        array.elements.push_back(parseConstant());
    } while (acceptPunct(','));
    expectPunct('}', "to close the array value");
    return array;
}

MofLiteral MofParser::parseConstant()
{
    const MofToken& token = _lexer.peek();
    MofLiteral literal;
    literal.line = token.line;
    switch (token.kind)
    {
    case MofTokenKind::String:
        literal.kind = MofLiteral::Kind::String;
        // Adjacent string literals are one string.
        while (_lexer.peek().kind == MofTokenKind::String)
            literal.text.append(take().value);
        return literal;
    case MofTokenKind::Char16:
        literal.kind = MofLiteral::Kind::Char16;
        literal.text = take().value;
        return literal;
    case MofTokenKind::Integer:
    {
        const MofToken number = take();
        literal.kind = MofLiteral::Kind::Integer;
        literal.negative = number.negative;
        literal.magnitude = number.magnitude;
        return literal;
    }
    case MofTokenKind::Real:
        literal.kind = MofLiteral::Kind::Real;
        literal.real = take().real;
        return literal;
    case MofTokenKind::Identifier:
        if (isKeyword("true") || isKeyword("false"))
        {
            literal.kind = MofLiteral::Kind::Boolean;
            literal.boolean = isKeyword("true");
            take();
            return literal;
        }
        if (isKeyword("null"))
        {
            take();
            return literal;
        }
        break;
    case MofTokenKind::Punct:
        if (token.text[0] == '$') fail(token.line, "instance aliases are not supported");
        break;
    default:
        break;
    }
    fail(token.line, "expected a value, found " + describeNext());
}

bool MofParser::parseArraySuffix(Uint32& arraySize)
{
    arraySize = 0;
    if (!acceptPunct('[')) return false;
    if (_lexer.peek().kind == MofTokenKind::Integer)
    {
        const MofToken size = take();
        if (size.negative || size.magnitude == 0 || size.magnitude > 0xFFFFFFFFu)
            fail(size.line, "invalid array size '" + size.text + "'");
        arraySize = static_cast<Uint32>(size.magnitude);
    }
    expectPunct(']', "after the array size");
    return true;
}

CIMName MofParser::referencedClass(const MofToken& token, const CIMName& declaringClass,
                                   const std::string& subject)
{
    const CIMName target = toName(token, "class name");
    if (!declaringClass.isNull() && target.equal(declaringClass)) return declaringClass;
    const Pegasus::CIMClass known = _session.repository.declaredClass(_nameSpace, target);
    if (known.isUninitialized()) fail(token.line, "unknown class " + quoted(target) + " for " + subject);
    return known.getClassName();
}

} // namespace cimhost
