#include "app/ShapeMemory.h"

#include <QSettings>

namespace arb
{

namespace
{

const QString kGroup = QStringLiteral("shapes");
const QString kLastShape = QStringLiteral("shape");

double Recall(QSettings &settings, const QString &key, const ShapeParameter &parameter)
{
    bool ok = false;
    const double value = settings.value(key).toDouble(&ok);
    return ok && parameter.accepts(value) ? value : parameter.defaultValue;
}

QString ParameterKey(const ShapeDescription &shape, const ShapeParameter &parameter)
{
    return shape.key + QLatin1Char('/') + parameter.key;
}

} // namespace

ShapeSettings ShapeChoices::settings(ShapeKind kind) const
{
    ShapeSettings s;
    s.kind = kind;
    s.values = values[static_cast<std::size_t>(kind)];
    s.amplitude = amplitude;
    s.offset = offset;
    return s;
}

ShapeChoices RecallShapeChoices(QSettings &settings)
{
    ShapeChoices c;
    settings.beginGroup(kGroup);
    c.chosen = ShapeByKey(settings.value(kLastShape).toString()).value_or(ShapeKind::Sine);
    c.amplitude = Recall(settings, AmplitudeParameter().key, AmplitudeParameter());
    c.offset = Recall(settings, OffsetParameter().key, OffsetParameter());
    for (const ShapeDescription &shape : ShapeLibrary()) {
        ShapeSettings s = DefaultShapeSettings(shape.kind);
        for (std::size_t i = 0; i < shape.parameters.size(); ++i)
            s.values[i] = Recall(settings, ParameterKey(shape, shape.parameters[i]), shape.parameters[i]);
        if (CheckShapeSettings(s))
            s = DefaultShapeSettings(shape.kind);
        c.values.push_back(s.values);
    }
    settings.endGroup();
    return c;
}

void RememberShapeChoice(QSettings &settings, const ShapeSettings &accepted)
{
    const ShapeDescription &shape = DescribeShape(accepted.kind);
    settings.beginGroup(kGroup);
    settings.setValue(kLastShape, shape.key);
    settings.setValue(AmplitudeParameter().key, accepted.amplitude);
    settings.setValue(OffsetParameter().key, accepted.offset);
    for (std::size_t i = 0; i < shape.parameters.size() && i < accepted.values.size(); ++i)
        settings.setValue(ParameterKey(shape, shape.parameters[i]), accepted.values[i]);
    settings.endGroup();
}

} // namespace arb
