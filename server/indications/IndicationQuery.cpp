#include "IndicationQuery.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <vector>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMValue.h>

namespace cimhost
{

using Pegasus::CIMInstance;
using Pegasus::CIMName;
using Pegasus::CIMValue;

namespace
{

enum class Truth
{
    False,
    True,
    Unknown
};

Truth truthOf(bool value)
{
    return value ? Truth::True : Truth::False;
}

bool sameWord(const std::string& word, const char* keyword)
{
    size_t i = 0;
    for (; keyword[i] != '\0'; ++i)
        if (i >= word.size() || std::toupper(static_cast<unsigned char>(word[i])) != keyword[i]) return false;
    return i == word.size();
}

// ---- tokens -----------------------------------------------------------------------------------

struct Token
{
    enum Kind
    {
        Word,
        Number,
        Text, // a quoted string, unquoted
        Symbol,
        End
    } kind;
    std::string text;
    size_t at; // offset in the query, for messages
};

std::vector<Token> tokenize(const std::string& query)
{
    std::vector<Token> tokens;
    size_t i = 0;
    const auto fail = [&](const std::string& why)
    { throw IndicationQueryError("at character " + std::to_string(i + 1) + ": " + why); };
    while (i < query.size())
    {
        const unsigned char c = static_cast<unsigned char>(query[i]);
        const size_t start = i;
        if (std::isspace(c))
        {
            ++i;
            continue;
        }
        if (std::isalpha(c) || c == '_')
        {
            while (i < query.size() &&
                   (std::isalnum(static_cast<unsigned char>(query[i])) || query[i] == '_'))
                ++i;
            tokens.push_back({Token::Word, query.substr(start, i - start), start});
            continue;
        }
        const bool sign = (c == '-' || c == '+') && i + 1 < query.size() &&
                          std::isdigit(static_cast<unsigned char>(query[i + 1]));
        if (std::isdigit(c) || sign)
        {
            ++i;
            while (i < query.size() &&
                   (std::isalnum(static_cast<unsigned char>(query[i])) || query[i] == '.' ||
                    ((query[i] == '-' || query[i] == '+') && (query[i - 1] == 'e' || query[i - 1] == 'E'))))
                ++i;
            tokens.push_back({Token::Number, query.substr(start, i - start), start});
            continue;
        }
        if (c == '\'' || c == '"')
        {
            std::string text;
            for (++i;; ++i)
            {
                if (i >= query.size()) fail("a string is not closed");
                if (query[i] == char(c))
                {
                    if (i + 1 < query.size() && query[i + 1] == char(c))
                    {
                        text += char(c); // a doubled quote stands for one
                        ++i;
                        continue;
                    }
                    break;
                }
                text += query[i];
            }
            ++i;
            tokens.push_back({Token::Text, text, start});
            continue;
        }
        static const char* const SYMBOLS[] = {"[*]", "::", "<>", "!=", "<=", ">=", "(",
                                              ")",   ",",  "*",  ".",  "=",  "<",  ">"};
        bool found = false;
        for (const char* symbol : SYMBOLS)
        {
            const std::string text(symbol);
            if (query.compare(i, text.size(), text) == 0)
            {
                tokens.push_back({Token::Symbol, text, start});
                i += text.size();
                found = true;
                break;
            }
        }
        if (!found) fail(std::string("'") + char(c) + "' is not part of the supported query forms");
    }
    tokens.push_back({Token::End, "", query.size()});
    return tokens;
}

// ---- values -----------------------------------------------------------------------------------

// One value as a condition compares it.
struct Scalar
{
    enum Kind
    {
        Number,
        Text,
        Boolean,
        Other // no ordering with literals (references, objects)
    } kind = Other;
    long double number = 0;
    std::string text;
    bool boolean = false;
};

template <class T> void appendNumbers(const CIMValue& value, std::vector<Scalar>& out)
{
    if (value.isArray())
    {
        Pegasus::Array<T> elements;
        value.get(elements);
        for (Pegasus::Uint32 i = 0; i < elements.size(); ++i)
            out.push_back({Scalar::Number, static_cast<long double>(elements[i]), {}, false});
    }
    else
    {
        T element;
        value.get(element);
        out.push_back({Scalar::Number, static_cast<long double>(element), {}, false});
    }
}

template <class T> void appendTexts(const CIMValue& value, std::vector<Scalar>& out)
{
    const auto text = [](const T& element) { return std::string(Pegasus::String(element).getCString()); };
    if (value.isArray())
    {
        Pegasus::Array<T> elements;
        value.get(elements);
        for (Pegasus::Uint32 i = 0; i < elements.size(); ++i)
            out.push_back({Scalar::Text, 0, text(elements[i]), false});
    }
    else
    {
        T element;
        value.get(element);
        out.push_back({Scalar::Text, 0, text(element), false});
    }
}

std::string dateText(const Pegasus::CIMDateTime& value)
{
    return std::string(value.toString().getCString());
}

// The elements of a value (one for a scalar); empty for NULL.
std::vector<Scalar> scalarsOf(const CIMValue& value)
{
    std::vector<Scalar> out;
    if (value.isNull()) return out;
    switch (value.getType())
    {
    case Pegasus::CIMTYPE_BOOLEAN:
        if (value.isArray())
        {
            Pegasus::Array<Pegasus::Boolean> elements;
            value.get(elements);
            for (Pegasus::Uint32 i = 0; i < elements.size(); ++i)
                out.push_back({Scalar::Boolean, 0, {}, bool(elements[i])});
        }
        else
        {
            Pegasus::Boolean element;
            value.get(element);
            out.push_back({Scalar::Boolean, 0, {}, bool(element)});
        }
        break;
    case Pegasus::CIMTYPE_UINT8:
        appendNumbers<Pegasus::Uint8>(value, out);
        break;
    case Pegasus::CIMTYPE_SINT8:
        appendNumbers<Pegasus::Sint8>(value, out);
        break;
    case Pegasus::CIMTYPE_UINT16:
        appendNumbers<Pegasus::Uint16>(value, out);
        break;
    case Pegasus::CIMTYPE_SINT16:
        appendNumbers<Pegasus::Sint16>(value, out);
        break;
    case Pegasus::CIMTYPE_UINT32:
        appendNumbers<Pegasus::Uint32>(value, out);
        break;
    case Pegasus::CIMTYPE_SINT32:
        appendNumbers<Pegasus::Sint32>(value, out);
        break;
    case Pegasus::CIMTYPE_UINT64:
        appendNumbers<Pegasus::Uint64>(value, out);
        break;
    case Pegasus::CIMTYPE_SINT64:
        appendNumbers<Pegasus::Sint64>(value, out);
        break;
    case Pegasus::CIMTYPE_REAL32:
        appendNumbers<Pegasus::Real32>(value, out);
        break;
    case Pegasus::CIMTYPE_REAL64:
        appendNumbers<Pegasus::Real64>(value, out);
        break;
    case Pegasus::CIMTYPE_STRING:
        appendTexts<Pegasus::String>(value, out);
        break;
    case Pegasus::CIMTYPE_DATETIME:
        if (value.isArray())
        {
            Pegasus::Array<Pegasus::CIMDateTime> elements;
            value.get(elements);
            for (Pegasus::Uint32 i = 0; i < elements.size(); ++i)
                out.push_back({Scalar::Text, 0, dateText(elements[i]), false});
        }
        else
        {
            Pegasus::CIMDateTime element;
            value.get(element);
            out.push_back({Scalar::Text, 0, dateText(element), false});
        }
        break;
    default:
        out.push_back({});
        break; // char16, references, objects: present but not comparable
    }
    return out;
}

enum class Op
{
    Equal,
    NotEqual,
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual
};

std::optional<Op> opOf(const Token& token)
{
    if (token.kind != Token::Symbol) return std::nullopt;
    static const std::pair<const char*, Op> OPS[] = {
        {"=", Op::Equal},        {"<>", Op::NotEqual}, {"!=", Op::NotEqual},      {"<", Op::Less},
        {"<=", Op::LessOrEqual}, {">", Op::Greater},   {">=", Op::GreaterOrEqual}};
    for (const auto& [text, op] : OPS)
        if (token.text == text) return op;
    return std::nullopt;
}

// The operator with its operands swapped: 5 < x is x > 5.
Op mirrored(Op op)
{
    switch (op)
    {
    case Op::Less:
        return Op::Greater;
    case Op::LessOrEqual:
        return Op::GreaterOrEqual;
    case Op::Greater:
        return Op::Less;
    case Op::GreaterOrEqual:
        return Op::LessOrEqual;
    default:
        return op;
    }
}

template <class T> Truth ordered(const T& a, Op op, const T& b)
{
    switch (op)
    {
    case Op::Equal:
        return truthOf(a == b);
    case Op::NotEqual:
        return truthOf(!(a == b));
    case Op::Less:
        return truthOf(a < b);
    case Op::LessOrEqual:
        return truthOf(!(b < a));
    case Op::Greater:
        return truthOf(b < a);
    case Op::GreaterOrEqual:
        return truthOf(!(a < b));
    }
    return Truth::Unknown;
}

Truth compare(const Scalar& value, Op op, const Scalar& literal)
{
    if (value.kind != literal.kind) return Truth::Unknown;
    switch (value.kind)
    {
    case Scalar::Number:
        return ordered(value.number, op, literal.number);
    case Scalar::Text:
        return ordered(value.text, op, literal.text);
    case Scalar::Boolean:
        if (op != Op::Equal && op != Op::NotEqual) return Truth::Unknown;
        return ordered(value.boolean, op, literal.boolean);
    case Scalar::Other:
        break;
    }
    return Truth::Unknown;
}

// ---- conditions -------------------------------------------------------------------------------

// A property as a condition names it: of the indication, or of one of its embedded instances,
// perhaps qualified by the class it is declared in.
struct PropertyRef
{
    std::string embedded; // empty: the indication itself; "SourceInstance" or "PreviousInstance"
    CIMName qualifier;
    CIMName property;          // null: the embedded instance itself (ISA)
    bool everyElement = false; // written with [*]
};

// The instance a reference reads from: the indication or an embedded instance; nothing when it is
// missing or not an instance.
std::optional<CIMInstance> instanceOf(const CIMInstance& indication, const std::string& embedded)
{
    if (embedded.empty()) return indication;
    const Pegasus::Uint32 index = indication.findProperty(CIMName(embedded.c_str()));
    if (index == Pegasus::PEG_NOT_FOUND) return std::nullopt;
    const CIMValue value = indication.getProperty(index).getValue();
    if (value.isNull() || value.isArray()) return std::nullopt;
    if (value.getType() == Pegasus::CIMTYPE_INSTANCE)
    {
        CIMInstance instance;
        value.get(instance);
        return instance;
    }
    if (value.getType() == Pegasus::CIMTYPE_OBJECT)
    {
        Pegasus::CIMObject object;
        value.get(object);
        if (object.isInstance()) return CIMInstance(object);
    }
    return std::nullopt;
}

} // namespace

struct IndicationQuery::Condition
{
    virtual ~Condition() = default;
    virtual Truth evaluate(const CIMInstance& indication, const IsA& isA) const = 0;
    // The class that "SourceInstance ISA X" at the top of an AND chain requires.
    virtual CIMName requiredSourceClass() const { return CIMName(); }
};

namespace
{

using Condition = IndicationQuery::Condition;
using IsA = IndicationQuery::IsA;

struct Not : Condition
{
    explicit Not(std::unique_ptr<Condition> operand) : operand(std::move(operand)) {}
    Truth evaluate(const CIMInstance& indication, const IsA& isA) const override
    {
        const Truth t = operand->evaluate(indication, isA);
        return t == Truth::Unknown ? t : truthOf(t == Truth::False);
    }
    std::unique_ptr<Condition> operand;
};

struct Junction : Condition
{
    Junction(bool all, std::unique_ptr<Condition> left, std::unique_ptr<Condition> right)
        : all(all), left(std::move(left)), right(std::move(right))
    {
    }
    Truth evaluate(const CIMInstance& indication, const IsA& isA) const override
    {
        const Truth decisive = all ? Truth::False : Truth::True;
        const Truth a = left->evaluate(indication, isA);
        if (a == decisive) return a;
        const Truth b = right->evaluate(indication, isA);
        if (b == decisive) return b;
        return a == Truth::Unknown || b == Truth::Unknown ? Truth::Unknown : truthOf(all);
    }
    CIMName requiredSourceClass() const override
    {
        if (!all) return CIMName();
        const CIMName fromLeft = left->requiredSourceClass();
        return fromLeft.isNull() ? right->requiredSourceClass() : fromLeft;
    }
    bool all; // AND; else OR
    std::unique_ptr<Condition> left, right;
};

struct IsAClass : Condition
{
    Truth evaluate(const CIMInstance& indication, const IsA& isA) const override
    {
        const std::optional<CIMInstance> instance = instanceOf(indication, embedded);
        if (!instance) return Truth::Unknown;
        return truthOf(isA(instance->getClassName(), className));
    }
    CIMName requiredSourceClass() const override
    {
        return embedded == "SourceInstance" ? className : CIMName();
    }
    std::string embedded;
    CIMName className;
};

// The value a property reference reads; nothing when it is unknown (a missing instance or
// property, or a class qualifier the instance is not of).
std::optional<CIMValue> valueOf(const PropertyRef& ref, const CIMInstance& indication, const IsA& isA)
{
    const std::optional<CIMInstance> instance = instanceOf(indication, ref.embedded);
    if (!instance) return std::nullopt;
    if (!ref.qualifier.isNull() && !isA(instance->getClassName(), ref.qualifier)) return std::nullopt;
    const Pegasus::Uint32 index = instance->findProperty(ref.property);
    if (index == Pegasus::PEG_NOT_FOUND) return std::nullopt;
    return instance->getProperty(index).getValue();
}

struct IsNull : Condition
{
    Truth evaluate(const CIMInstance& indication, const IsA& isA) const override
    {
        const std::optional<CIMValue> value = valueOf(property, indication, isA);
        const bool null = !value || value->isNull();
        return truthOf(null != negated);
    }
    PropertyRef property;
    bool negated = false;
};

struct Comparison : Condition
{
    enum Quantifier
    {
        Single,
        Any,
        Every
    };
    Truth evaluate(const CIMInstance& indication, const IsA& isA) const override
    {
        const std::optional<CIMValue> value = valueOf(property, indication, isA);
        if (!value || value->isNull() || value->isArray() != (quantifier != Single)) return Truth::Unknown;
        const std::vector<Scalar> elements = scalarsOf(*value);
        if (quantifier == Single) return compare(elements.front(), op, literal);
        bool unknown = false;
        for (const Scalar& element : elements)
        {
            const Truth t = compare(element, op, literal);
            if (quantifier == Any && t == Truth::True) return t;
            if (quantifier == Every && t == Truth::False) return t;
            unknown = unknown || t == Truth::Unknown;
        }
        return unknown ? Truth::Unknown : truthOf(quantifier == Every);
    }
    PropertyRef property;
    Op op = Op::Equal;
    Scalar literal;
    Quantifier quantifier = Single;
};

// ---- parser -----------------------------------------------------------------------------------

class Parser
{
public:
    explicit Parser(const std::string& query) : _tokens(tokenize(query)) {}

    void expectKeyword(const char* keyword)
    {
        if (!isKeyword(keyword)) fail(std::string("expected ") + keyword);
        ++_next;
    }
    bool acceptKeyword(const char* keyword)
    {
        if (!isKeyword(keyword)) return false;
        ++_next;
        return true;
    }
    bool acceptSymbol(const char* symbol)
    {
        if (peek().kind != Token::Symbol || peek().text != symbol) return false;
        ++_next;
        return true;
    }
    void expectSymbol(const char* symbol)
    {
        if (!acceptSymbol(symbol)) fail(std::string("expected '") + symbol + "'");
    }
    CIMName className()
    {
        const Token& token = peek();
        if (token.kind != Token::Word || !CIMName::legal(token.text.c_str())) fail("expected a class name");
        ++_next;
        return CIMName(token.text.c_str());
    }
    bool atEnd() const { return peek().kind == Token::End; }
    // Where the next token starts in the query.
    size_t offset() const { return peek().at; }
    [[noreturn]] void fail(const std::string& what) const
    {
        const Token& token = peek();
        throw IndicationQueryError(
            "at character " + std::to_string(token.at + 1) + ": " + what + ", found " +
            (token.kind == Token::End ? std::string("the end of the query") : "'" + token.text + "'"));
    }

    std::unique_ptr<Condition> condition()
    {
        std::unique_ptr<Condition> left = conjunction();
        while (acceptKeyword("OR"))
            left = std::make_unique<Junction>(false, std::move(left), conjunction());
        return left;
    }

private:
    const Token& peek() const { return _tokens[_next]; }
    bool isKeyword(const char* keyword) const
    {
        return peek().kind == Token::Word && sameWord(peek().text, keyword);
    }

    std::unique_ptr<Condition> conjunction()
    {
        std::unique_ptr<Condition> left = negation();
        while (acceptKeyword("AND"))
            left = std::make_unique<Junction>(true, std::move(left), negation());
        return left;
    }

    std::unique_ptr<Condition> negation()
    {
        if (acceptKeyword("NOT")) return std::make_unique<Not>(negation());
        return primary();
    }

    std::unique_ptr<Condition> primary()
    {
        if (acceptSymbol("("))
        {
            std::unique_ptr<Condition> inner = condition();
            expectSymbol(")");
            return inner;
        }
        if (isKeyword("ANY") || isKeyword("EVERY"))
        {
            auto comparison = std::make_unique<Comparison>();
            comparison->quantifier = acceptKeyword("ANY") ? Comparison::Any : (++_next, Comparison::Every);
            comparison->property = property();
            if (!comparison->property.everyElement) fail("ANY and EVERY take an array written with [*]");
            comparison->op = op();
            comparison->literal = literal();
            return comparison;
        }
        if (std::optional<Scalar> first = acceptLiteral())
        {
            auto comparison = std::make_unique<Comparison>();
            comparison->literal = *first;
            comparison->op = mirrored(op());
            comparison->property = scalarProperty();
            return comparison;
        }
        PropertyRef ref = property();
        if (acceptKeyword("ISA"))
        {
            if (ref.embedded.empty() || !ref.property.isNull())
                fail("ISA applies to SourceInstance or PreviousInstance");
            auto test = std::make_unique<IsAClass>();
            test->embedded = ref.embedded;
            test->className = className();
            return test;
        }
        if (ref.property.isNull()) fail("expected ISA or a property of " + ref.embedded);
        if (ref.everyElement) fail("an array written with [*] needs ANY or EVERY before it");
        if (acceptKeyword("IS"))
        {
            auto test = std::make_unique<IsNull>();
            test->negated = acceptKeyword("NOT");
            expectKeyword("NULL");
            test->property = ref;
            return test;
        }
        auto comparison = std::make_unique<Comparison>();
        comparison->property = ref;
        comparison->op = op();
        comparison->literal = literal();
        return comparison;
    }

    PropertyRef scalarProperty()
    {
        PropertyRef ref = property();
        if (ref.property.isNull()) fail("expected a property of " + ref.embedded);
        if (ref.everyElement) fail("an array written with [*] needs ANY or EVERY before it");
        return ref;
    }

    // [SourceInstance|PreviousInstance] [. [Class::] Property] [[*]], or [Class::] Property.
    PropertyRef property()
    {
        PropertyRef ref;
        const Token& first = peek();
        if (first.kind != Token::Word) fail("expected a property");
        if (sameWord(first.text, "SOURCEINSTANCE") || sameWord(first.text, "PREVIOUSINSTANCE"))
        {
            ref.embedded = sameWord(first.text, "SOURCEINSTANCE") ? "SourceInstance" : "PreviousInstance";
            ++_next;
            if (!acceptSymbol(".")) return ref;
        }
        CIMName name = className();
        if (acceptSymbol("::"))
        {
            ref.qualifier = name;
            name = className();
        }
        ref.property = name;
        ref.everyElement = acceptSymbol("[*]");
        return ref;
    }

    Op op()
    {
        if (std::optional<Op> found = opOf(peek()))
        {
            ++_next;
            return *found;
        }
        fail("expected a comparison operator (=, <>, <, <=, >, >=)");
    }

    std::optional<Scalar> acceptLiteral()
    {
        const Token& token = peek();
        Scalar value;
        if (token.kind == Token::Text)
            value = {Scalar::Text, 0, token.text, false};
        else if (token.kind == Token::Number)
        {
            char* end = nullptr;
            value = {Scalar::Number, std::strtold(token.text.c_str(), &end), {}, false};
            if (end != token.text.c_str() + token.text.size()) fail("malformed number");
        }
        else if (isKeyword("TRUE") || isKeyword("FALSE"))
            value = {Scalar::Boolean, 0, {}, isKeyword("TRUE")};
        else
            return std::nullopt;
        ++_next;
        return value;
    }

    Scalar literal()
    {
        if (std::optional<Scalar> value = acceptLiteral()) return *value;
        fail("expected a number, a string, TRUE or FALSE");
    }

    std::vector<Token> _tokens;
    size_t _next = 0;
};

} // namespace

IndicationQuery::IndicationQuery() = default;
IndicationQuery::IndicationQuery(IndicationQuery&&) noexcept = default;
IndicationQuery& IndicationQuery::operator=(IndicationQuery&&) noexcept = default;
IndicationQuery::~IndicationQuery() = default;

IndicationQuery IndicationQuery::parse(const std::string& language, const std::string& text)
{
    if (!sameWord(language, "WQL") && !sameWord(language, "DMTF:CQL"))
        throw IndicationQueryError("query language '" + language + "' is not supported: WQL or DMTF:CQL");
    Parser parser(text);
    IndicationQuery query;
    parser.expectKeyword("SELECT");
    if (!parser.acceptSymbol("*")) parser.fail("only SELECT * is supported, not a list of properties");
    parser.expectKeyword("FROM");
    query._indicationClass = parser.className();
    if (parser.acceptKeyword("WHERE"))
    {
        query._conditionText = text.substr(std::min(parser.offset(), text.size()));
        query._condition = parser.condition();
        query._sourceInstanceClass = query._condition->requiredSourceClass();
    }
    if (!parser.atEnd()) parser.fail("expected WHERE or the end of the query");
    return query;
}

const CIMName& IndicationQuery::indicationClass() const
{
    return _indicationClass;
}

const std::string& IndicationQuery::conditionText() const
{
    return _conditionText;
}

const CIMName& IndicationQuery::sourceInstanceClass() const
{
    return _sourceInstanceClass;
}

bool IndicationQuery::matches(const CIMInstance& indication, const IsA& isA) const
{
    return !_condition || _condition->evaluate(indication, isA) == Truth::True;
}

} // namespace cimhost
