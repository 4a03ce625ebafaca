// The host's expression language through the services plug-ins call: values, commands, and the
// failures that must leave the caller's output alone and say what went wrong.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <stdexcept>
#include <string>

#include "korrin_host_services.h"
#include "model/host.h"
#include "model/views.h"
#include "services/service_map.h"
#include "host_service.h"

namespace {

using namespace vhost;

using Vec = std::array<double, 3>;

// A host whose perspective view has recognisable values, with a side view whose name has spaces.
struct ViewHost {
    ViewHost() {
        Viewport &p = *host.scene.views.find("Perspective");
        p.move = {1.5, -2.0, 3.25};
        p.rotate = {30.0, -15.0, 0.0};
        p.dolly = 2.0;
        p.gridSize = 5.0;
        Viewport side;
        side.name = "Side view (2)";
        side.type = -5;
        side.dolly = 0.25;
        host.scene.views.viewports.push_back(side);
    }
    Host host;
};

std::string LastMessage(const Host &host) {
    return host.messages.entries.empty() ? "" : host.messages.entries.back().text;
}

TEST(Expressions, ViewQueriesAsTheModuleWritesThem) {
    ViewHost v;
    char name[256];
    ASSERT_EQ(FX(fxExpComputeString)("GetCurrentView()", name, sizeof name), 1);
    EXPECT_STREQ(name, "Perspective");

    struct IntCase {
        const char *text;
        int32_t expected;
    };
    for (const IntCase &c : {IntCase{"GetViewType(GetCurrentView())", 2}, IntCase{"GetViewType(\"Top\")", 4},
                             IntCase{"GetViewType(\"Back\")", 3}, IntCase{"GetViewType(\"Camera\")", 0},
                             IntCase{"GetViewType(\"Side view (2)\")", -5}, IntCase{"GetViewType( Top )", 4},
                             IntCase{" GetViewType( \"Left\" ) ", -5}}) {
        int32_t out = 99;
        EXPECT_EQ(FX(fxExpComputeInt)(c.text, &out), 1) << c.text << ": " << LastMessage(v.host);
        EXPECT_EQ(out, c.expected) << c.text;
    }

    Vec move{}, rotate{};
    ASSERT_EQ(FX(fxExpComputeVecd3)("GetViewMove(\"Perspective\")", move.data()), 1);
    ASSERT_EQ(FX(fxExpComputeVecd3)("GetViewRotate(\"Perspective\")", rotate.data()), 1);
    EXPECT_EQ(move, (Vec{1.5, -2.0, 3.25}));
    EXPECT_EQ(rotate, (Vec{30.0, -15.0, 0.0}));

    double dolly = 0, grid = 0, side = 0;
    ASSERT_EQ(FX(fxExpComputeDouble)("GetViewDolly(\"Perspective\")", &dolly), 1);
    ASSERT_EQ(FX(fxExpComputeDouble)("GetViewGridSize(\"Perspective\")", &grid), 1);
    ASSERT_EQ(FX(fxExpComputeDouble)("GetViewDolly(\"Side view (2)\")", &side), 1);
    EXPECT_EQ(dolly, 2.0);
    EXPECT_EQ(grid, 5.0);
    EXPECT_EQ(side, 0.25);
}

TEST(Expressions, Literals) {
    Host host;
    struct IntCase {
        const char *text;
        int32_t expected;
    };
    for (const IntCase &c : {IntCase{"42", 42}, IntCase{"-7", -7}, IntCase{"+3", 3}, IntCase{" 0 ", 0},
                             IntCase{"2147483647", 2147483647}, IntCase{"-2147483648", INT32_MIN}}) {
        int32_t out = 99;
        EXPECT_EQ(FX(fxExpComputeInt)(c.text, &out), 1) << c.text;
        EXPECT_EQ(out, c.expected) << c.text;
    }
    struct DoubleCase {
        const char *text;
        double expected;
    };
    for (const DoubleCase &c : {DoubleCase{"2.5", 2.5}, DoubleCase{".5", 0.5}, DoubleCase{"-1e3", -1000.0},
                                DoubleCase{"1.5E-2", 0.015}, DoubleCase{"7", 7.0} /* an integer serves */}) {
        double out = 99;
        EXPECT_EQ(FX(fxExpComputeDouble)(c.text, &out), 1) << c.text;
        EXPECT_EQ(out, c.expected) << c.text;
    }
    char text[64];
    ASSERT_EQ(FX(fxExpComputeString)(R"("say \"hi\"\nback\\slash")", text, sizeof text), 1);
    EXPECT_STREQ(text, "say \"hi\"\nback\\slash");
    EXPECT_TRUE(host.messages.entries.empty());
}

// Every failure: result 0, the output as it was, and one host message that names the problem.
struct Failure {
    const char *text;
    const char *problem;  // part of the message
};

void PrintTo(const Failure &f, std::ostream *os) { *os << f.text; }

class Failing : public ::testing::TestWithParam<Failure> {};

TEST_P(Failing, ReportsAndLeavesTheOutputAlone) {
    ViewHost v;
    int32_t i = 99;
    double d = 99;
    Vec vec{9, 9, 9};
    char s[8] = "keep";
    const char *text = GetParam().text;
    EXPECT_EQ(FX(fxExpComputeInt)(text, &i), 0);
    EXPECT_EQ(FX(fxExpComputeDouble)(text, &d), 0);
    EXPECT_EQ(FX(fxExpComputeVecd3)(text, vec.data()), 0);
    EXPECT_EQ(FX(fxExpComputeString)(text, s, sizeof s), 0);
    EXPECT_EQ(FX(fxExpressionCompute)(text, 0), 0);
    EXPECT_EQ(i, 99);
    EXPECT_EQ(d, 99.0);
    EXPECT_EQ(vec, (Vec{9, 9, 9}));
    EXPECT_STREQ(s, "keep");
    ASSERT_EQ(v.host.messages.entries.size(), 5u);
    for (const Message &m : v.host.messages.entries) {
        EXPECT_NE(m.text.find(GetParam().problem), std::string::npos) << m.text;
        EXPECT_EQ(m.kind, "Host");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, Failing,
    ::testing::Values(Failure{"", "expected a value"}, Failure{"GetViewType(", "expected a value"},
                      Failure{"GetViewType(\"Top\"", "expected ',' or ')'"},
                      Failure{"GetViewType(\"Top\") 1", "unexpected '1'"},
                      Failure{"GetViewType(\"Top)", "unterminated string"},
                      Failure{"\"a\\qb\"", "unknown escape"}, Failure{"(1)", "unexpected '('"},
                      Failure{"1e999", "number out of range"}, Failure{"2147483648", "integer out of range"},
                      Failure{"1.5x", "unexpected 'x'"}, Failure{"-", "malformed number"},
                      Failure{"SetViewType(\"Top\")", "unknown function SetViewType"},
                      Failure{"GetViewType(\"Nowhere\")", "no view named \"Nowhere\""},
                      Failure{"GetViewType(GetViewDolly(\"Top\"))", "is a number, not a name"},
                      Failure{"GetViewType()", "takes 1 argument(s), not 0"},
                      Failure{"GetViewType(\"Top\", 1)", "takes 1 argument(s), not 2"},
                      Failure{"ProceduralTypeSet(Ghost, 1)", "no item named \"Ghost\""},
                      Failure{"Perspective", "unknown function or value Perspective"},
                      Failure{"GetViewType(Top (x", "unbalanced '('"},
                      // a call needs its '(' right after the name; otherwise the text is an item name
                      Failure{"GetViewType (\"Left\")", "unexpected '\"' in a name"}));

TEST(Expressions, ValueOfTheWrongKindIsRefused) {
    ViewHost v;
    int32_t i = 99;
    double d = 99;
    Vec vec{9, 9, 9};
    char s[8] = "keep";
    EXPECT_EQ(FX(fxExpComputeInt)("GetViewDolly(\"Top\")", &i), 0);
    EXPECT_NE(LastMessage(v.host).find("gives a number, not an integer"), std::string::npos);
    EXPECT_EQ(FX(fxExpComputeDouble)("GetCurrentView()", &d), 0);
    EXPECT_NE(LastMessage(v.host).find("gives a string, not a number"), std::string::npos);
    EXPECT_EQ(FX(fxExpComputeVecd3)("GetViewDolly(\"Top\")", vec.data()), 0);
    EXPECT_NE(LastMessage(v.host).find("gives a number, not a vector"), std::string::npos);
    EXPECT_EQ(FX(fxExpComputeString)("GetViewMove(\"Top\")", s, sizeof s), 0);
    EXPECT_NE(LastMessage(v.host).find("gives a vector, not a string"), std::string::npos);
    EXPECT_EQ(i, 99);
    EXPECT_EQ(d, 99.0);
    EXPECT_EQ(vec, (Vec{9, 9, 9}));
    EXPECT_STREQ(s, "keep");
    EXPECT_EQ(FX(fxExpComputeInt)(nullptr, &i), 0);
    EXPECT_EQ(FX(fxExpressionCompute)(nullptr, 0), 0);
}

TEST(Expressions, StringOutputIsBoundedAndTerminated) {
    Host host;
    host.scene.views.current = "Perspective";
    char buffer[8];
    struct Case {
        int32_t size;
        const char *expected;
    };
    for (const Case &c : {Case{8, "Perspec"}, Case{5, "Pers"}, Case{1, ""}}) {
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(FX(fxExpComputeString)("GetCurrentView()", buffer, c.size), 1);
        EXPECT_STREQ(buffer, c.expected);
        for (int k = c.size; k < 8; ++k) EXPECT_EQ(buffer[k], '#') << "size " << c.size << " byte " << k;
    }
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(FX(fxExpComputeString)("GetCurrentView()", buffer, 0), 0);
    EXPECT_EQ(buffer[0], '#');

    // the longest view name the module asks about fits whole
    host.scene.views.current = std::string(255, 'v');
    char name[256];
    EXPECT_EQ(FX(fxExpComputeString)("GetCurrentView()", name, sizeof name), 1);
    EXPECT_EQ(std::string(name), std::string(255, 'v'));
}

TEST(Expressions, UnparentItemsTakesOnlyTheCurrentObjectOut) {
    Host host;
    Items &items = host.scene.items;
    const KorrinItem parent = items.add(ItemKind::Mesh, "Parent");
    const KorrinItem tool = items.add(ItemKind::Tool, "Brush");
    const KorrinItem other = items.add(ItemKind::Mesh, "Other");
    items.find(tool)->parent = parent;
    items.find(other)->parent = parent;

    int32_t ignored = 0;
    EXPECT_EQ(FX(fxExpComputeInt)("unparentItems(0)", &ignored), 0) << "no current object yet";
    EXPECT_NE(LastMessage(host).find("no current object"), std::string::npos);
    EXPECT_EQ(items.find(tool)->parent, parent);

    items.current = tool;
    EXPECT_EQ(FX(fxExpComputeInt)("unparentItems(0)", &ignored), 1);
    EXPECT_EQ(items.find(tool)->parent, 0u);
    EXPECT_EQ(items.find(other)->parent, parent);
}

TEST(Expressions, ProceduralTypeSetFindsItemsByTheirWholeName) {
    Host host;
    Items &items = host.scene.items;
    const KorrinItem first = items.add(ItemKind::Tool, "Brush");
    const KorrinItem second = items.add(ItemKind::Tool, "Brush (2)");

    EXPECT_EQ(FX(fxExpressionCompute)("ProceduralTypeSet(Brush (2), 1)", 0), 1) << LastMessage(host);
    EXPECT_EQ(items.find(first)->proceduralType, 0);
    EXPECT_EQ(items.find(second)->proceduralType, 1);
    EXPECT_EQ(FX(fxExpressionCompute)("ProceduralTypeSet(\"Brush\", 1)", 0), 1);
    EXPECT_EQ(items.find(first)->proceduralType, 1);
    EXPECT_EQ(FX(fxExpressionCompute)("ProceduralTypeSet(Brush (2), 0)", 0), 1);
    EXPECT_EQ(items.find(second)->proceduralType, 0);

    // a text that does not parse changes nothing
    EXPECT_EQ(FX(fxExpressionCompute)("ProceduralTypeSet(Brush, 0", 0), 0);
    EXPECT_EQ(items.find(first)->proceduralType, 1);
    EXPECT_EQ(FX(fxExpressionCompute)("ProceduralTypeSet(Brush, \"on\")", 0), 0);
    EXPECT_NE(LastMessage(host).find("is a string, not an integer"), std::string::npos);
    EXPECT_EQ(items.find(first)->proceduralType, 1);
}

TEST(Expressions, DeepNestingIsRefusedNotOverflowed) {
    Host host;
    std::string text;
    for (int k = 0; k < 100000; ++k) text += "GetViewType(";
    int32_t out = 99;
    EXPECT_EQ(FX(fxExpComputeInt)(text.c_str(), &out), 0);
    EXPECT_EQ(out, 99);
    EXPECT_NE(LastMessage(host).find("nested too deeply"), std::string::npos);
}

}  // namespace
