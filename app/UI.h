#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>

// The program's shared texts and paths. Texts go through id-based translation so that a
// translator could be installed later; without one, each text is its own id.
namespace UI {

QSize ScreenSize();

// Window and dialog titles and labels.
inline const QString AppTitle = qtTrId("双色双面荧光PCR v%0");
inline const QString NewDialogTitle = qtTrId("新建检测");
inline const QString InputTitle = qtTrId("输入对话框");
inline const QString MessageTitle = qtTrId("提示");
inline const QString RunTitle = qtTrId("运行监控");
inline const QString DataListTitle = qtTrId("数据管理");
inline const QString SearchFailed = qtTrId("记录库无法查找：%0");
inline const QString SearchFound = qtTrId("按结果查找：找到%0个实验");
inline const QString MethodTitle = qtTrId("方法");
inline const QString HighInfoTitle = qtTrId("高级设置");
inline const QString ParameterTitle = qtTrId("参数设置");
inline const QString AboutTitle = qtTrId("关于");
inline const QString AllSet = qtTrId("全部应用");
inline const QString AllSetFam = qtTrId("全部应用FAM");
inline const QString AllSetRox = qtTrId("全部应用ROX");
inline const QStringList StepInfo = {qtTrId("恒温段"), qtTrId("循环:40"), qtTrId("熔解段")};

// Messages shown in message boxes.
inline const QString SyncInfo = qtTrId("正等待同步信息，请稍后关闭软件!");
inline const QString ClosingInfo = qtTrId("是否关闭软件？");
inline const QString ClosingWithRuns = qtTrId("以下检测正在运行：\n%0\n关闭软件将停止这些检测并保存已测得的数据（未完成）。是否关闭软件？");
inline const QString HomeTitle = qtTrId("主页");
// Short lines, so that no name is broken across two.
inline const QString UnnamedSamples = qtTrId("有%0个样本未命名。\n是否依次命名为“样本1、样本2……”？\n选择“取消”则不命名，继续下一步。");
inline const QString FileWritten = qtTrId("文件已保存：\n%0");
inline const QString FolderIsAt = qtTrId("无法打开文件管理器，文件保存在：\n%0");
// Run window tabs: "PCR 2 · NAME · 运行中".
inline const QString RunTabTitle = qtTrId("PCR %0 · %1");
inline const QStringList RunStates = {qtTrId("运行中"), qtTrId("完成"), qtTrId("未完成")};
inline const QString RunOver = qtTrId("PCR %0的检测\n“%1”\n已结束：%2。");
inline const QString CloseRunWidget = qtTrId("是否关闭当前检测项目？");
inline const QString WaitRunWidget = qtTrId("请先结束当前检测项目。");
inline const QString DeleteEmptyInfo = qtTrId("提示，当前检测段为空!");
inline const QString PassMaxStep = qtTrId("提示，检测段数量不能超过%0!");
inline const QString PassMaxMeltStep = qtTrId("提示，熔解段数量不能超过%0!");
inline const QString PassMaxCycleStep = qtTrId("提示，循环段数量不能超过%0!");
inline const QString PassMaxNode = qtTrId("提示，节数量不能超过%0!");
inline const QString MaxMeltNode = qtTrId("提示，熔解段修改添加节点!");
inline const QString MeltStepOnPreview = qtTrId("不能在熔解段后添加循环段!");
inline const QString CycleStepOnPreview = qtTrId("不能在循环段前添加熔解段!");
inline const QString SaveDataFailInfo = qtTrId("错误，数据保存失败!");
// Why a run failed, as the question, the page, the remark and the trail say it.
inline const QString NoAnswer = qtTrId("PCR %0无应答");
inline const QString LinkBroken = qtTrId("PCR %0连接中断");
inline const QString ReactError = qtTrId("%0，是否保存当前数据？");
// A module whose stop sequence went unanswered: its heaters may still be on.
inline const QString StopUnconfirmed = qtTrId("PCR %0停止未确认");
inline const QString ClosingStopOwed = qtTrId("以下模块停止未确认，\n加热可能仍在进行：\n%0\n请检查仪器。是否仍关闭软件？");
inline const QString PcrBusy = qtTrId("PCR %0正在运行");
inline const QString AllModulesTaken = qtTrId("所有PCR模块都已被检测占用，请等其中一个检测结束后再新建。");
inline const QString MaySleep = qtTrId("无法阻止电脑进入睡眠，检测期间请保持电脑唤醒，否则检测会中断。");
inline const QString ConfiguredPortSilent = qtTrId("设置的串口%0没有应答，正在查找仪器的其他串口。");
inline const QString InstallWhileRunning = qtTrId("%0正在运行检测，请在检测结束后再安装更新。");
inline const QString JsonValidError = qtTrId("JSON文件中,有效期设置错误。");
inline const QString JsonHoleError = qtTrId("JSON文件中,靶标孔位数设置错误。");
inline const QString JsonSampleError = qtTrId("JSON文件中,靶标样本数设置错误。");
inline const QString PcrdFileError = qtTrId("文件打开错误。");
inline const QString NameForbiddenChar = qtTrId("流水号命名不能使用\\/:*?\"<>|等符号，请重新命名！");
inline const QString NameRepeat = qtTrId("命名与数据存储中的实验重复，请重新命名！");
inline const QString WorkbookFilter = qtTrId("Excel工作簿 (*.xlsx)");
inline const QString WorkbookMismatch = qtTrId("excel文件%0的origin表与本实验的芯片不符（孔数、通道或读数），读数未替换。");
inline const QString WorkbookOfAnotherRun = qtTrId("excel文件%0不是从本实验导出的（流水号或检测时间不同），读数未替换。");
inline const QString WorkbookSameReadings = qtTrId("excel文件%0中的读数与本实验相同，实验未改动。");
inline const QString ReplaceReadings = qtTrId("是否用excel文件%0中的读数替换本实验测得的读数？\n替换将记入实验备注，并保存实验文件。");
inline const QString MethodDoesNotFit = qtTrId("JSON文件%0的方法不能用于本实验：%1。方法未替换。");
inline const QString MethodSame = qtTrId("JSON文件%0的方法与本实验的方法相同，实验未改动。");
inline const QString ReplaceMethod = qtTrId("是否用JSON文件%0中的方法（靶标与分析设置）替换本实验的方法？\n替换将记入实验备注，并保存实验文件。");
inline const QString NameInUse = qtTrId("该名称的实验已在检测或打开中，请重新命名！");
inline const QString NamePending = qtTrId("该名称有一个中断检测的待恢复数据，请重新命名！");
inline const QString ExperimentOpen = qtTrId("实验%0已在页面中打开，请先关闭该页面。");
inline const QString SavedUnderOtherName = qtTrId("文件%0已存在，检测数据已另存为%1。");
inline const QString NameInvalid = qtTrId("实验命名为空或者不符合规范，请重新命名！");
inline const QString NameEdges = qtTrId("实验名的开头和结尾不能是空格或点，请重新命名！");
inline const QString HoldTempError = qtTrId("第%0段第%1个温度%2℃超出0～100℃的范围，请修改方法。");
inline const QString ReadingCountError = qtTrId("方法的荧光读数%0次，超过上限%1次，请修改方法。");
inline const QString NoFoundPcr = qtTrId("没有可以使用的PCR模块。");
inline const QString AboutInfo = qtTrId("Zonvex 双色双面荧光PCR分析软件\n\n软件版本:%0");
inline const QString UpdateInfoError = qtTrId("检查更新错误,%0。");
inline const QString UpdateFileSuccess = qtTrId("文件下载成功，是否立即安装？");
inline const QString HasNewest = qtTrId("软件已经是最新版本。");
inline const QString IsDownLoad = qtTrId("是否下载软件，版本%1?");
inline const QString Md5Error = qtTrId("文件验证错误！");
inline const QString DelPcrdFile = qtTrId("是否删除文件:%1？（文件将移到回收站）");
inline const QString DelPcrdFiles = qtTrId("是否删除选中的%0个pcrd文件？（文件将移到回收站）");
inline const QString RenameError = qtTrId("无法重命名文件!");
inline const QString RestoreRun = qtTrId("检测“%0”上次未正常结束，是否恢复已测得的数据？");
inline const QString DiscardRun = qtTrId("是否丢弃检测“%0”已测得的数据？丢弃后无法找回；选择“取消”，下次启动时将再次询问。");
inline const QString RestoreFailed = qtTrId("检测“%0”的数据无法恢复。");
inline const QString SafeModules = qtTrId("PCR %0上次检测中断，仪器连接后将先执行停止程序，使模块回到安全温度。");
inline const QString ImportRefused = qtTrId("以下文件已存在或无法复制，未导入：\n%0");
inline const QString CopyRefused = qtTrId("文件%0已存在或无法写入，未导出。");
inline const QString DeleteRefused = qtTrId("以下文件无法删除：\n%0");
inline const QString ExcelSaveError = qtTrId("excel文件%0保存失败。");
inline const QString ExportError = qtTrId("文件%0保存失败。");
inline const QString RdmlRefused = qtTrId("无法导入%0：\n%1");
inline const QString InstallerStartError = qtTrId("版本%0的安装程序无法启动。");
inline const QString UpdateAddressError = qtTrId("更新服务器地址%0不安全，只能使用https。");

// Context-menu actions and file-dialog captions.
inline const QString ActionOpen = qtTrId("打开");
inline const QString ActionExportExcel = qtTrId("导出excel");
inline const QString ActionExportPcrd = qtTrId("导出文件");
inline const QString ActionExportRdml = qtTrId("导出RDML");
inline const QString ActionExportCsv = qtTrId("导出CSV");
inline const QString ActionImport = qtTrId("导入");
inline const QString ActionUrl = qtTrId("打开路径");
inline const QString ActionJSON = qtTrId("重新定义JSON");
inline const QString ActionFaker = qtTrId("重新定义excel");
inline const QString ActionSaveJson = qtTrId("重新保存JSON");
inline const QString ActionDel = qtTrId("删除");
inline const QString ActionRename = qtTrId("重命名");
inline const QString ActionSign = qtTrId("签名");
inline const QString ActionUnlock = qtTrId("解锁");
inline const QString ActionResendLis = qtTrId("重新发送到LIS");
inline const QString ActionReport = qtTrId("打印报告(PDF)");
inline const QString ActionHistory = qtTrId("审计记录");
inline const QString ReportExport = qtTrId("保存PDF报告");
inline const QString ChangeReason = qtTrId("请填写修改%0的原因（将记入审计记录）：");
inline const QString UnlockReason = qtTrId("解锁%0将使其全部签名作废。请填写原因：");
inline const QString StoreFailed = qtTrId("记录库%0无法打开：%1\n程序退出。");
inline const QString ExcelExport = qtTrId("导出excel文件");
inline const QString PcrdExport = qtTrId("导出pcrd文件");
inline const QString PcrdImport = qtTrId("选择要导入的PCRD或RDML文件");
inline const QString ImportFilter = qtTrId("实验或RDML文件 (*.pcrd *.rdml *.rdm *.xml);;实验文件 (*.pcrd);;RDML (*.rdml *.rdm *.xml)");
inline const QString RdmlExport = qtTrId("导出RDML文件");
inline const QString CsvExport = qtTrId("导出CSV文件");
inline const QString ChooseRun = qtTrId("选择运行");
inline const QString ChooseRunLabel = qtTrId("文件中有多个运行，请选择要导入的一个：");

// Status-line formats of the run monitor.
inline const QString ProjectInfo = qtTrId("实验名：%0  流水号：%1   备注：%2   检测时间：%3   模块编号：%4  ");
inline const QString TestInfo = qtTrId("温度(红)：%0  温度(绿)：%1  剩余时间：%2  进度：%3%  ");
inline const QString TestInfoHasCycle = qtTrId("温度(红)：%0  温度(绿)：%1  循环：%2/%3  剩余时间：%4  进度：%5%  ");
inline const QString TestInfoHasMelt = qtTrId("温度(红)：%0  温度(绿)：%1  溶解步骤：%2/%3  剩余时间：%4  进度：%5%  ");
inline const QString TestInfoHasCycleMelt =
    qtTrId("温度(红)：%0  温度(绿)：%1  循环：%2/%3 溶解步骤：%4/%5  剩余时间：%6  进度：%7%  ");

// Paths, relative to the working directory unless a %0 takes an absolute directory.
inline const QString JsonDirName = "json/";
inline const QString InDirName = "qvi/";
inline const QString OutDirName = "qvo/";
inline const QString UserDirName = "%0/usr_data/";
inline const QString TempDirName = "temp/";
inline const QString LogDirName = "log/";
inline const QString VersionFilePath = "temp/info";
// The update server; "HTTP/IP" and "HTTP/PORT" in the settings file replace it (Settings). The
// two remote paths follow its base address.
inline const QString UpdateServer = "https://updates.tamarin.example";
inline const QString VersionRemoteFilePath = "/tamarin/version.json";
inline const QString SetupRemoteFilePath = "/tamarin/%0";
inline const QString DownLoadPath = "%0/temp/tamarin_setup_%1.exe";
inline const QString SettingsFile = "ini/settings.ini";

}
