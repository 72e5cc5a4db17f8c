#include "ui/disc_screen_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kScreenRole = Qt::UserRole;

QString hexAddress(std::uint32_t address)
{
    // DFS keeps 18 bits; &3xxxx is the I/O processor's &FFxxxx.
    const std::uint32_t shown = (address & 0x30000) == 0x30000 ? (address | 0xFF0000) : address;
    return QStringLiteral("%1").arg(shown, 6, 16, QLatin1Char('0')).toUpper();
}

QString modesText(const FoundScreen& screen)
{
    QStringList modes;
    for (const int mode : screen.modes)
        modes << QString::number(mode);
    QString text = (screen.modes.size() == 1 ? QStringLiteral("mode ") : QStringLiteral("modes ")) +
                   modes.join(QStringLiteral(", "));
    if (screen.packed)
        text += QStringLiteral(", packed");
    return text;
}

QTreeWidgetItem* discItem(const ListedDisc& disc)
{
    const QString title = QString::fromStdString(disc.catalogue.title);
    const QString label = disc.label.empty() ? QStringLiteral("Disc") : QString::fromStdString(disc.label);
    auto* item = new QTreeWidgetItem({title.isEmpty() ? label : QStringLiteral("%1 \u201c%2\u201d").arg(label, title)});
    item->setData(0, kScreenRole, -1);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

QTreeWidgetItem* fileItem(const CatalogueEntry& entry, int screen, const DiscContents& contents)
{
    const QString kind = screen < 0 ? QString() : modesText(contents.screens[static_cast<std::size_t>(screen)]);
    auto* item = new QTreeWidgetItem({QString::fromStdString(entry.fullName()), hexAddress(entry.load),
                                      hexAddress(entry.exec), QString::number(entry.length), kind});
    item->setData(0, kScreenRole, screen);
    // Only screens can be chosen; the other files are listed for what the disc holds.
    item->setFlags(screen < 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QTreeWidget* catalogueTree(QWidget* parent, const DiscContents& contents)
{
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QStringLiteral("treDiscFiles"));
    tree->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Load"), QStringLiteral("Exec"),
                           QStringLiteral("Length"), QStringLiteral("Screen")});
    tree->setRootIsDecorated(contents.discs.size() > 1);
    QTreeWidgetItem* first = nullptr;
    for (const ListedDisc& disc : contents.discs) {
        QTreeWidgetItem* parentItem = discItem(disc);
        tree->addTopLevelItem(parentItem);
        for (std::size_t i = 0; i < disc.catalogue.files.size(); ++i) {
            QTreeWidgetItem* item = fileItem(disc.catalogue.files[i], disc.screenOfFile[i], contents);
            parentItem->addChild(item);
            if (first == nullptr && disc.screenOfFile[i] >= 0)
                first = item;
        }
    }
    tree->expandAll();
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (first != nullptr)
        tree->setCurrentItem(first);
    return tree;
}

}  // namespace

std::optional<std::size_t> chooseDiscScreen(QWidget* parent, const QString& discName, const DiscContents& contents)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmDiscScreens"));
    dialog.setWindowTitle(QStringLiteral("Open Screen from Disc"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Screens on %1:").arg(discName), &dialog));
    QTreeWidget* tree = catalogueTree(&dialog, contents);
    layout->addWidget(tree);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, &dialog, [&](QTreeWidgetItem* item) {
        if (item->flags() & Qt::ItemIsSelectable)
            dialog.accept();
    });
    const auto enableOpen = [&] {
        const QTreeWidgetItem* item = tree->currentItem();
        buttons->button(QDialogButtonBox::Open)->setEnabled(item != nullptr && (item->flags() & Qt::ItemIsSelectable));
    };
    QObject::connect(tree, &QTreeWidget::currentItemChanged, &dialog, enableOpen);
    enableOpen();
    dialog.resize(560, 400);
    if (dialog.exec() != QDialog::Accepted || tree->currentItem() == nullptr ||
        !(tree->currentItem()->flags() & Qt::ItemIsSelectable))
        return std::nullopt;
    const int screen = tree->currentItem()->data(0, kScreenRole).toInt();
    if (screen < 0)
        return std::nullopt;
    return static_cast<std::size_t>(screen);
}
